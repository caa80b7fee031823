// Blocks from the C heap whose size the file decides can fail to allocate:
// Open then returns false, holds nothing, and the demuxer stays usable.
// malloc, calloc and realloc are wrapped at link time (see tests/CMakeLists.txt).

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/AsfWriter.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __real_realloc(void* block, size_t size);

namespace {

// Counts down the C-heap allocations of the code under test; the one that
// reaches zero fails. -1: none fails.
int g_failAfter = -1;

bool ShouldFail() {
    if (g_failAfter < 0) {
        return false;
    }
    return g_failAfter-- == 0;
}

}  // namespace

extern "C" void* __wrap_malloc(size_t size) { return ShouldFail() ? nullptr : __real_malloc(size); }

extern "C" void* __wrap_calloc(size_t count, size_t size) {
    return ShouldFail() ? nullptr : __real_calloc(count, size);
}

extern "C" void* __wrap_realloc(void* block, size_t size) {
    return ShouldFail() ? nullptr : __real_realloc(block, size);
}

namespace {

using namespace asftest;

TEST(AllocationFailureTest, EachFailingBlockFailsOpenAndLeavesTheDemuxerUsable) {
    const Bytes file = SimpleAudioFile(3);
    auto demuxer = NewAsfDemuxer();
    // Open takes three blocks from the C heap: the header buffer, the codec
    // extra data and the packet buffer.
    for (int failing = 0; failing < 3; ++failing) {
        MemoryStream stream(file);
        stream.SetRecording(false);
        g_failAfter = failing;
        const bool opened = demuxer->Open(&stream);
        g_failAfter = -1;
        EXPECT_FALSE(opened) << failing;
        EXPECT_EQ(demuxer->GetMediaInfo()->codecKind, 0) << failing;
        EXPECT_EQ(demuxer->GetMediaInfo()->extraData, nullptr) << failing;
        uint8_t buffer[256];
        EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1) << failing;
    }
    MemoryStream stream(file);
    ASSERT_TRUE(demuxer->Open(&stream));
    EXPECT_EQ(ReadAllFrames(*demuxer, stream).size(), 3u);
}

}  // namespace
