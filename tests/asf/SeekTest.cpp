// Seek: through the seek table, or in proportion without one.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/AsfWriter.h"
#include "tests/support/CAsfDemuxerTestPeer.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Bytes TimedPacket(uint32_t time, uint32_t size = 300, uint16_t duration = 0) {
    PacketSpec layout;
    layout.size = size;
    layout.duration = duration;
    layout.payloads = {{.replicated = Replicated(10, time), .data = Bytes(10, static_cast<uint8_t>(time))}};
    return Packet(layout);
}

// Packets without a presentation time and with a duration of 0: no table.
Bytes UntimedPacket(uint32_t size, uint8_t fill) {
    PacketSpec layout;
    layout.size = size;
    layout.payloads = {{.data = Bytes(10, fill)}};
    return Packet(layout);
}

struct Outcome {
    std::optional<int64_t> seekTo;  // none: the stream was not moved
    double reported;
};

Outcome SeekOnce(IDemuxer& demuxer, MemoryStream& stream, double request) {
    stream.ClearCalls();
    double seconds = request;
    demuxer.Seek(&seconds);
    Outcome outcome{{}, seconds};
    for (const std::string& call : stream.Calls()) {
        EXPECT_EQ(call.rfind("SeekTo ", 0), 0u) << call;  // Seek calls nothing else
        outcome.seekTo = std::stoll(call.substr(7));
    }
    return outcome;
}

// A request, the packet Seek must move the stream to (none: it stays), and
// the time it must report.
struct SeekCase {
    double request;
    std::optional<int64_t> packet;
    double reported;
};

void ExpectSeeks(IDemuxer& demuxer, MemoryStream& stream, int64_t dataStart, int64_t packetSize,
                 std::initializer_list<SeekCase> cases) {
    for (const SeekCase& c : cases) {
        const Outcome o = SeekOnce(demuxer, stream, c.request);
        if (c.packet) {
            EXPECT_EQ(o.seekTo, dataStart + packetSize * *c.packet) << c.request;
        } else {
            EXPECT_FALSE(o.seekTo.has_value()) << c.request;
        }
        EXPECT_DOUBLE_EQ(o.reported, c.reported) << c.request;
    }
}

class SeekWithTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Preroll 300: times 0 (no entry), 150 and 300.
        FileSpec layout;
        layout.props.packetSize = 300;
        layout.props.preroll = 300;
        layout.packets = {TimedPacket(300), TimedPacket(450), TimedPacket(600)};
        const Bytes file = AsfFile(layout);
        m_dataStart = static_cast<int64_t>(DataStart(file));
        m_stream = std::make_unique<MemoryStream>(file);
        ASSERT_TRUE(m_demuxer->Open(m_stream.get()));
    }

    DemuxerPtr m_demuxer = NewAsfDemuxer();
    std::unique_ptr<MemoryStream> m_stream;
    int64_t m_dataStart = 0;
};

TEST_F(SeekWithTableTest, LandsOnTheFirstPacketLaterThanTheRequest) {
    ExpectSeeks(*m_demuxer, *m_stream, m_dataStart, 300,
                {
                    {0.0, 0, 0.0},  // the first packet, time 0, which the table lacks
                    {-5.0, 0, 0.0},
                    {0.0001, 1, 0.15},
                    {0.1499, 1, 0.15},
                    {0.15, 2, 0.3},
                    {0.3, {}, 0.3},
                    {7.5, {}, 7.5},
                    {1e300, {}, 1e300},
                    {kInf, {}, kInf},
                    {-kInf, {}, -kInf},
                });
    const Outcome nan = SeekOnce(*m_demuxer, *m_stream, kNaN);
    EXPECT_FALSE(nan.seekTo.has_value());
    EXPECT_TRUE(std::isnan(nan.reported));
}

TEST_F(SeekWithTableTest, SeekingToTheStartDeliversTheFirstPacketAgain) {
    uint8_t buffer[300];
    ASSERT_EQ(m_demuxer->ReadFrame(buffer, sizeof buffer), 10);
    ASSERT_EQ(buffer[0], static_cast<uint8_t>(300));
    ASSERT_EQ(m_demuxer->ReadFrame(buffer, sizeof buffer), 10);
    double seconds = 0.0;
    m_demuxer->Seek(&seconds);
    ASSERT_EQ(m_demuxer->ReadFrame(buffer, sizeof buffer), 10);
    EXPECT_EQ(buffer[0], static_cast<uint8_t>(300));
}

TEST(SeekTest, MillisecondsAreTruncated) {
    struct Case {
        uint32_t lastTimeMs;
        double request;
        bool moves;
    };
    const Case cases[] = {
        {1001, 1.001, true},  // 1.001 * 1000 is just below 1001: 1000 ms
        {1000, 1.0, false},
        {1001, 1.0009, true},   // 1000 ms
        {1001, 1.0011, false},  // 1001 ms
    };
    for (const Case& c : cases) {
        FileSpec layout;
        layout.props.packetSize = 300;
        layout.packets = {TimedPacket(500), TimedPacket(c.lastTimeMs)};
        MemoryStream stream(AsfFile(layout));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        EXPECT_EQ(demuxer->GetMediaInfo()->duration, c.lastTimeMs / 1000.0);
        const Outcome o = SeekOnce(*demuxer, stream, c.request);
        EXPECT_EQ(o.seekTo.has_value(), c.moves) << c.request;
    }
}

TEST(SeekTest, TablesWhoseTimesFallAreSearchedInTableOrder) {
    // Audio at 1, 2 and 3 s, then two packets of another stream taking the
    // running time: 100 and 200 ms.
    FileSpec layout;
    layout.props.packetSize = 300;
    layout.packets = {TimedPacket(1000), TimedPacket(2000), TimedPacket(3000)};
    for (int i = 0; i < 3; ++i) {
        PacketSpec other;
        other.size = 300;
        other.duration = 100;
        other.payloads = {{.stream = 2, .data = Bytes(10, 9)}};
        layout.packets.push_back(Packet(other));
    }
    const Bytes file = AsfFile(layout);
    const int64_t dataStart = static_cast<int64_t>(DataStart(file));
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    ASSERT_EQ(CAsfDemuxerTestPeer::SeekTable(*demuxer).size(), 5u);
    ExpectSeeks(*demuxer, stream, dataStart, 300, {{0.15, 0, 1.0}, {1.5, 1, 2.0}, {2.5, 2, 3.0}, {3.0, {}, 3.0}});
}

TEST(SeekTest, WithoutATableThePacketIsFoundInProportion) {
    // Duration 50 s over 500 packets of 64 bytes: 0.1 s per packet. The
    // packets carry no time, so the scan leaves the table empty.
    FileSpec layout;
    layout.props.packetSize = 64;
    layout.props.sendDuration = 500000000;
    for (int i = 0; i < 500; ++i) {
        layout.packets.push_back(UntimedPacket(64, static_cast<uint8_t>(i)));
    }
    const Bytes file = AsfFile(layout);
    const int64_t dataStart = static_cast<int64_t>(DataStart(file));
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    ASSERT_TRUE(CAsfDemuxerTestPeer::SeekTable(*demuxer).empty());

    ExpectSeeks(*demuxer, stream, dataStart, 64,
                {
                    {1.234, 12, 12 * 0.1},
                    {50.0, 500, 500 * 0.1},
                    {1e9, 500, 500 * 0.1},
                    {0.0, 0, 0.0},
                    {-3.0, 0, 0.0},
                    {kInf, {}, kInf},
                });
    // The frames that follow are those of the packet reached.
    SeekOnce(*demuxer, stream, 1.234);
    uint8_t buffer[64];
    ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 10);
    EXPECT_EQ(buffer[0], 12);
}

TEST(SeekTest, StreamingSourcesCountFromTheStreamStartInExact64BitPositions) {
    // 100,000 packets of 64 KiB over 1000 s: index 70,000 lies past 4 GiB.
    FileSpec layout;
    layout.props.packetSize = 65536;
    layout.props.sendDuration = 10000000000ull;
    layout.totalPackets = 100000;
    MemoryStream stream(AsfFile(layout), MemoryStream::Mode::Streaming);
    stream.SetArrived(stream.Size() - 1);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    const Outcome o = SeekOnce(*demuxer, stream, 700.0);
    EXPECT_EQ(o.seekTo, int64_t{70000} * 65536);
    EXPECT_DOUBLE_EQ(o.reported, 700.0);
}

TEST(SeekTest, APacketCountOf0MovesToTheDataStartAndKeepsTheTime) {
    FileSpec layout;
    layout.props.sendDuration = 10000000;
    layout.totalPackets = 0;
    const Bytes file = AsfFile(layout);
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    const Outcome o = SeekOnce(*demuxer, stream, 0.5);
    EXPECT_EQ(o.seekTo, static_cast<int64_t>(DataStart(file)));
    EXPECT_EQ(o.reported, 0.5);
}

TEST(SeekTest, NothingHappensWithoutAPositiveDuration) {
    FileSpec layout;  // Send Duration 0 and no packets: duration 0
    MemoryStream stream(AsfFile(layout));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    for (double request : {0.0, 1.0, -1.0}) {
        const Outcome o = SeekOnce(*demuxer, stream, request);
        EXPECT_FALSE(o.seekTo.has_value());
        EXPECT_EQ(o.reported, request);
    }
}

TEST(SeekTest, QueuedFramesAndPartPacketsSurviveASeek) {
    // Two frames per packet; times 100, 200, 300.
    FileSpec layout;
    layout.props.packetSize = 300;
    for (uint32_t t : {100u, 200u, 300u}) {
        PacketSpec packet;
        packet.size = 300;
        packet.payloads = {{.replicated = Replicated(5, t), .data = Bytes(5, static_cast<uint8_t>(t / 100))},
                           {.replicated = Replicated(5, t), .data = Bytes(6, static_cast<uint8_t>(t / 100))}};
        layout.packets.push_back(Packet(packet));
    }
    const Bytes file = AsfFile(layout);
    {
        MemoryStream stream(file);
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        uint8_t buffer[300];
        ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 5);
        double seconds = 0.25;
        demuxer->Seek(&seconds);
        EXPECT_EQ(seconds, 0.3);
        ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 6);  // still packet 1
        EXPECT_EQ(buffer[0], 1);
        ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 5);  // then packet 3
        EXPECT_EQ(buffer[0], 3);
    }
    {
        // Streaming: half of packet 1 has arrived when the host seeks to the
        // start of packet 3 (data start 0 on a streaming source: the offset
        // is from the stream's start, here set where packet 3 lies).
        const size_t dataStart = DataStart(file);
        MemoryStream stream(file, MemoryStream::Mode::Streaming);
        stream.SetArrived(dataStart + 150);
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        uint8_t buffer[300];
        EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);
        EXPECT_EQ(CAsfDemuxerTestPeer::Buffered(*demuxer), 150);
        stream.SetArrived(file.size());
        ASSERT_TRUE(stream.SeekTo(static_cast<int64_t>(dataStart + 600 + 150)));
        // The rest of the packet comes from the new position: bytes 150..299
        // of packet 3 complete bytes 0..149 of packet 1.
        ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 5);
        EXPECT_EQ(buffer[0], 1);
        EXPECT_EQ(CAsfDemuxerTestPeer::Buffered(*demuxer), 0);
    }
}

}  // namespace
