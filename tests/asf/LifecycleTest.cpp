// Construction, Close, Release and a second Open.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/AsfWriter.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

bool IsZero(const MediaInfo& info) {
    MediaInfo zero;
    std::memset(&zero, 0, sizeof zero);
    return info.codecKind == 0 && info.duration == 0.0 && info.bitrate == 0 && info.sampleRate == 0 &&
           info.avgBytesPerSec == 0 && info.channels == 0 && info.bitsPerSample == 0 && info.blockAlign == 0 &&
           info.extraSize == 0 && info.extraData == nullptr && info.formatTag == 0;
}

TEST(LifecycleTest, ANewDemuxerHasAZeroRecordAndDoesNothing) {
    auto demuxer = NewAsfDemuxer();
    const MediaInfo* info = demuxer->GetMediaInfo();
    EXPECT_TRUE(IsZero(*info));
    EXPECT_EQ(demuxer->GetMediaInfo(), info);
    double seconds = 3.0;
    demuxer->Seek(&seconds);
    EXPECT_EQ(seconds, 3.0);
    uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(demuxer->ReadFrame(buffer, 4), -1);
    EXPECT_EQ(demuxer->ReadFrame(buffer, 0), -1);
    EXPECT_EQ(buffer[0], 9);
    demuxer->Close();
    demuxer->Close();
    EXPECT_TRUE(IsZero(*info));
}

TEST(LifecycleTest, CloseZeroesTheRecordAndStopsEverything) {
    MemoryStream stream(SimpleAudioFile(5));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    const MediaInfo* info = demuxer->GetMediaInfo();
    uint8_t buffer[512];
    ASSERT_GT(demuxer->ReadFrame(buffer, sizeof buffer), 0);

    stream.ClearCalls();
    demuxer->Close();
    EXPECT_EQ(demuxer->GetMediaInfo(), info);
    EXPECT_TRUE(IsZero(*info));
    EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);
    double seconds = 0.2;
    demuxer->Seek(&seconds);
    EXPECT_EQ(seconds, 0.2);
    demuxer->Close();
    EXPECT_TRUE(stream.Calls().empty());
}

TEST(LifecycleTest, ReleaseMakesNoCallOnTheStream) {
    MemoryStream stream(SimpleAudioFile(5));
    IDemuxer* demuxer = NewAsfDemuxer().release();
    ASSERT_TRUE(demuxer->Open(&stream));
    uint8_t buffer[512];
    ASSERT_GT(demuxer->ReadFrame(buffer, sizeof buffer), 0);
    stream.ClearCalls();
    demuxer->Release();  // frees the packet, extra data, table, queue (LeakSanitizer checks)
    EXPECT_TRUE(stream.Calls().empty());
}

TEST(LifecycleTest, ASecondOpenReplacesTheFirstFile) {
    WaveFormatSpec mp3;
    mp3.formatTag = 0x0055;
    mp3.codecData = Bytes(12, 0x33);
    FileSpec first;
    first.audio = mp3;
    first.props.packetSize = 512;
    for (int i = 0; i < 3; ++i) {
        PacketSpec packet;
        packet.size = 512;
        packet.payloads = {{.replicated = Replicated(4, 0), .data = Bytes(20, 0xA1)}};
        first.packets.push_back(Packet(packet));
    }
    MemoryStream a(AsfFile(first));
    MemoryStream b(SimpleAudioFile(2));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&a));
    EXPECT_EQ(demuxer->GetMediaInfo()->extraSize, 12u);
    uint8_t buffer[512];
    ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 20);

    a.ClearCalls();
    ASSERT_TRUE(demuxer->Open(&b));
    EXPECT_TRUE(a.Calls().empty());
    EXPECT_EQ(demuxer->GetMediaInfo()->extraSize, 10u);
    EXPECT_EQ(demuxer->GetMediaInfo()->codecKind, 5);
    const Frames frames = ReadAllFrames(*demuxer, b);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].size(), 100u);
}

TEST(LifecycleTest, AFileWithoutAudioNeverDeliversTheStreamAnEarlierFileSelected) {
    auto demuxer = NewAsfDemuxer();
    MemoryStream withAudio(SimpleAudioFile(2));
    ASSERT_TRUE(demuxer->Open(&withAudio));

    FileSpec videoOnly;
    videoOnly.audio.reset();
    videoOnly.headerObjectsBefore = {VideoStreamObject(1)};
    PacketSpec packet;
    packet.payloads = {{.stream = 1, .replicated = Replicated(4, 0), .data = Bytes(30, 0x77)}};
    videoOnly.packets = {Packet(packet), Packet(packet)};
    MemoryStream stream(AsfFile(videoOnly));
    ASSERT_TRUE(demuxer->Open(&stream));
    EXPECT_EQ(demuxer->GetMediaInfo()->channels, 0u);
    EXPECT_TRUE(ReadAllFrames(*demuxer, stream).empty());
}

}  // namespace
