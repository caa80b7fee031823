// Damaged and crafted files give clean results: Open false, -1 from
// ReadFrame, or a seek that changes nothing; never a crash, a hang, a leak
// or a read outside a buffer (the sanitizer build checks the last three).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "asf/CAsfDemuxer.h"
#include "tests/support/AsfWriter.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

bool RecordIsZero(const MediaInfo& info) {
    MediaInfo zero;
    std::memset(&zero, 0, sizeof zero);
    return std::memcmp(&info, &zero, offsetof(MediaInfo, formatTag) + sizeof info.formatTag) == 0;
}

// Opens, reads everything, seeks about, closes; checks what a host relies on.
Frames Exercise(IDemuxer& demuxer, const Bytes& file, bool streaming, bool& opened) {
    MemoryStream stream(file, streaming ? MemoryStream::Mode::Streaming : MemoryStream::Mode::Seekable);
    stream.SetRecording(false);
    if (streaming) {
        stream.SetArrivePerRead(61);
        stream.SetArrived(0);
    }
    opened = demuxer.Open(&stream);
    Frames frames;
    if (opened) {
        EXPECT_LE(demuxer.GetMediaInfo()->channels, 2u);
        frames = ReadAllFrames(demuxer, stream);
        for (const Bytes& frame : frames) {
            EXPECT_LE(frame.size(), CAsfDemuxer::kMaxPacketSize);
        }
        for (double request : {-1.0, 0.0, 0.05, 1e9, std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(), -1e300}) {
            double seconds = request;
            demuxer.Seek(&seconds);
            if (std::isnan(request)) {
                EXPECT_TRUE(std::isnan(seconds));
            }
            uint8_t buffer[64];
            (void)demuxer.ReadFrame(buffer, sizeof buffer);
        }
    }
    demuxer.Close();
    EXPECT_TRUE(RecordIsZero(*demuxer.GetMediaInfo()));
    return frames;
}

TEST(HostileInputTest, EveryClassOfBadInputGivesACleanResult) {
    for (const HostileFile& hostile : HostileFiles()) {
        SCOPED_TRACE(hostile.name);
        auto demuxer = NewAsfDemuxer();
        bool opened = false;
        const Frames frames = Exercise(*demuxer, hostile.bytes, false, opened);
        EXPECT_EQ(opened, hostile.opens);
        if (hostile.frames) {
            EXPECT_EQ(frames.size(), *hostile.frames);
        }
        // The same file from a streaming source, on the same demuxer.
        (void)Exercise(*demuxer, hostile.bytes, true, opened);
    }
}

Bytes Sample(const char* name) { return ReadFile(std::string(VQ_SAMPLES_DIR) + "/" + name); }

TEST(HostileInputTest, EveryTruncationOfARealFileYieldsAPrefixOfItsStream) {
    const Bytes file = Sample("mp3-mono.wma");
    ASSERT_FALSE(file.empty());
    auto demuxer = NewAsfDemuxer();
    MemoryStream whole(file);
    ASSERT_TRUE(demuxer->Open(&whole));
    const Bytes full = Joined(ReadAllFrames(*demuxer, whole));
    for (size_t length = 0; length <= file.size(); ++length) {
        MemoryStream stream(Bytes(file.begin(), file.begin() + static_cast<long>(length)));
        stream.SetRecording(false);
        if (!demuxer->Open(&stream)) {
            continue;
        }
        const Bytes got = Joined(ReadAllFrames(*demuxer, stream));
        ASSERT_LE(got.size(), full.size()) << length;
        ASSERT_TRUE(std::equal(got.begin(), got.end(), full.begin())) << "cut at " << length;
    }
}

TEST(HostileInputTest, FlippingAnyByteOfTheHeaderOrFirstPacketsIsSurvived) {
    const Bytes file = Sample("mp3-mono.wma");
    const size_t span = std::min(file.size(), DataStart(file) + 4 * 1024);
    auto demuxer = NewAsfDemuxer();
    for (size_t at = 0; at < span; ++at) {
        for (uint8_t mask : {uint8_t{0xFF}, uint8_t{0x80}, uint8_t{0x01}}) {
            Bytes damaged = file;
            damaged[at] ^= mask;
            bool opened = false;
            (void)Exercise(*demuxer, damaged, false, opened);
        }
    }
}

}  // namespace
