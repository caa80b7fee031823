#include <gtest/gtest.h>

#include "demuxer/CDemuxer.h"
#include "tests/support/MemoryStream.h"

namespace {

class BareDemuxer final : public CDemuxer {
public:
    const MediaInfo* Record() const { return &m_info; }
};

TEST(CDemuxerTest, DefaultsDoNothingHarmlessly) {
    auto* demuxer = new BareDemuxer();
    asftest::MemoryStream stream({1, 2, 3});
    EXPECT_FALSE(demuxer->Open(&stream));
    EXPECT_TRUE(stream.Calls().empty());

    uint8_t buffer[4] = {7, 7, 7, 7};
    EXPECT_EQ(demuxer->ReadFrame(buffer, 4), 0);
    EXPECT_EQ(buffer[0], 7);

    double seconds = 12.5;
    demuxer->Seek(&seconds);
    EXPECT_EQ(seconds, 12.5);

    EXPECT_EQ(demuxer->GetMediaInfo(), demuxer->Record());
    demuxer->Close();
    demuxer->Release();
}

}  // namespace
