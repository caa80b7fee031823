// The seek table that Open builds on a seekable source.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/AsfWriter.h"
#include "tests/support/CAsfDemuxerTestPeer.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

void PrintTo(const SeekPoint& p, std::ostream* os) { *os << "{" << p.position << ", " << p.timeMs << "}"; }

namespace {

using namespace asftest;
using Table = std::vector<SeekPoint>;

// A packet of `size` bytes with one payload of `stream`; a presentation
// time when `time` is set (8 bytes of replicated data), none otherwise.
Bytes TimedPacket(std::optional<uint32_t> time, uint16_t duration = 100, uint32_t size = 300, uint8_t stream = 1) {
    PacketSpec layout;
    layout.size = size;
    layout.duration = duration;
    layout.payloads = {{.stream = stream, .replicated = time ? Replicated(10, *time) : Bytes{}, .data = Bytes(10, 1)}};
    return Packet(layout);
}

struct Scanned {
    Table table;
    int64_t dataStart;
    double duration;
    std::vector<std::string> calls;
};

Scanned Scan(const std::vector<Bytes>& packets, uint64_t preroll = 0, uint32_t packetSize = 300,
             const Bytes& trailer = {}, std::optional<uint64_t> totalPackets = {}) {
    FileSpec layout;
    layout.props.packetSize = packetSize;
    layout.props.preroll = preroll;
    layout.packets = packets;
    layout.trailer = trailer;
    layout.totalPackets = totalPackets;
    const Bytes file = AsfFile(layout);
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    EXPECT_TRUE(demuxer->Open(&stream));
    const int64_t dataStart = static_cast<int64_t>(DataStart(file));
    EXPECT_EQ(stream.Position(), dataStart);
    return {CAsfDemuxerTestPeer::SeekTable(*demuxer), dataStart, demuxer->GetMediaInfo()->duration, stream.Calls()};
}

TEST(SeekTableTest, WorkedExample) {
    // Presentation time 450, preroll 300: {packet position, 150}.
    const Scanned a = Scan({TimedPacket(450)}, 300, 600);
    EXPECT_EQ(a.table, (Table{{a.dataStart, 150}}));
    EXPECT_EQ(a.duration, 0.15);
    // Presentation time 300 gives time 0: no entry, and since a time was
    // found the running time does not grow by the packet's duration.
    const Scanned b = Scan({TimedPacket(300), TimedPacket({}), TimedPacket({})}, 300);
    EXPECT_EQ(b.table, (Table{{b.dataStart + 600, 100}}));
}

TEST(SeekTableTest, PacketTimes) {
    struct Case {
        const char* name;
        std::vector<Bytes> packets;
        uint64_t preroll;
        std::vector<std::pair<int, int64_t>> expected;  // packet index, time
    };
    PacketSpec zeroThenTime;
    zeroThenTime.size = 300;
    zeroThenTime.payloads = {{.replicated = Replicated(5, 0), .data = Bytes(5, 1)},
                             {.stream = 2, .replicated = Replicated(5, 900), .data = Bytes(5, 1)},
                             {.replicated = Replicated(5, 700), .data = Bytes(5, 1)}};
    PacketSpec compressed;
    compressed.size = 300;
    compressed.duration = 100;
    compressed.payloads = {{.replicated = {0x05}, .data = SubPayloads({{1, 2}})}};
    PacketSpec countZero;
    countZero.size = 300;
    countZero.duration = 100;
    countZero.payloadCount = 0;
    countZero.payloads = {{.replicated = Replicated(5, 900), .data = Bytes(5, 1)}, {}};
    // Multiple payloads, the first of another stream with 100 data bytes:
    // the second's stream number byte lies at 128, outside the window.
    auto twoPayloads = [](size_t firstData) {
        PacketSpec layout;
        layout.size = 300;
        layout.errorCorrection = -1;
        layout.duration = 100;
        layout.payloads = {{.stream = 2, .replicated = Replicated(5, 1), .data = Bytes(firstData, 1)},
                           {.stream = 1, .replicated = Replicated(5, 1234), .data = Bytes(50, 1)}};
        return Packet(layout);
    };
    const Case cases[] = {
        {"running time only", {TimedPacket({}), TimedPacket({}), TimedPacket({})}, 0, {{1, 100}, {2, 200}}},
        {"durations of 0", {TimedPacket({}, 0), TimedPacket({}, 0)}, 0, {}},
        {"found time only in packet 1",
         {TimedPacket({}), TimedPacket(800), TimedPacket({})},
         300,
         {{1, 500}, {2, 100}}},
        {"below the preroll", {TimedPacket(100), TimedPacket(400)}, 300, {{1, 100}}},
        {"presentation time 0 is passed over", {Packet(zeroThenTime)}, 0, {{0, 700}}},
        {"compressed payloads give no time",
         {TimedPacket({}), Packet(compressed), Packet(compressed)},
         0,
         {{1, 100}, {2, 200}}},
        {"payload count 0", {Packet(countZero), Packet(countZero)}, 0, {{1, 100}}},
        {"second payload outside the window", {TimedPacket({}), twoPayloads(100)}, 0, {{1, 100}}},
        {"second payload within the window", {TimedPacket({}), twoPayloads(60)}, 0, {{1, 1234}}},
        {"other streams give no time", {TimedPacket(500, 100, 300, 2), TimedPacket({})}, 0, {{1, 100}}},
    };
    for (const Case& c : cases) {
        const Scanned s = Scan(c.packets, c.preroll);
        Table expected;
        for (const auto& [index, time] : c.expected) {
            expected.push_back({s.dataStart + 300 * index, time});
        }
        EXPECT_EQ(s.table, expected) << c.name;
    }
}

TEST(SeekTableTest, ReadsOneWindowAndOneSkipPerPacketThenReturnsToTheDataStart) {
    const Scanned s = Scan({TimedPacket(100), TimedPacket(200)});
    const std::string back = "SeekTo " + std::to_string(s.dataStart);
    const std::vector<std::string> expected = {back,       "Read 128", "Tell",       "Skip 172 1",
                                               "Read 128", "Tell",     "Skip 172 1", back};
    ASSERT_GE(s.calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(s.calls.end() - static_cast<long>(expected.size()), s.calls.end()), expected);

    // Exactly 128 bytes: read whole, nothing skipped; a first Read of 0 (no
    // packets): an empty table, and the stream back at the data start.
    const Scanned small = Scan({TimedPacket(100, 0, 128)}, 0, 128);
    EXPECT_EQ(small.table, (Table{{small.dataStart, 100}}));
    const auto scanStart =
        std::find(small.calls.begin(), small.calls.end(), "SeekTo " + std::to_string(small.dataStart));
    EXPECT_EQ(std::vector<std::string>(scanStart, small.calls.end()),
              (std::vector<std::string>{"SeekTo " + std::to_string(small.dataStart), "Read 128", "Tell",
                                        "SeekTo " + std::to_string(small.dataStart)}));
    const Scanned none = Scan({});
    EXPECT_TRUE(none.table.empty());
}

TEST(SeekTableTest, PacketsSmallerThanTheWindowAreReadWhole) {
    const Scanned s = Scan({TimedPacket(100, 0, 64), TimedPacket(200, 0, 64), TimedPacket(300, 0, 64)}, 0, 64);
    EXPECT_EQ(s.table, (Table{{s.dataStart, 100}, {s.dataStart + 64, 200}, {s.dataStart + 128, 300}}));
}

TEST(SeekTableTest, BytesAfterTheAnnouncedPacketsAreNotPackets) {
    // A trailer that would read as a packet with time 5000.
    const Bytes trailer = TimedPacket(5000);
    const Scanned counted = Scan({TimedPacket(100), TimedPacket(200)}, 0, 300, trailer);
    EXPECT_EQ(counted.table, (Table{{counted.dataStart, 100}, {counted.dataStart + 300, 200}}));
    EXPECT_EQ(counted.duration, 0.2);

    // A real Simple Index Object after the data is passed over the same way.
    const Scanned index = Scan({TimedPacket(100), TimedPacket(200)}, 0, 300, SimpleIndexObject(40));
    EXPECT_EQ(index.table.size(), 2u);

    // Total Data Packets 0 (broadcast files): walked to the end.
    const Scanned uncounted = Scan({TimedPacket(100), TimedPacket(200)}, 0, 300, trailer, 0);
    EXPECT_EQ(uncounted.table.size(), 3u);
}

TEST(SeekTableTest, DurationIsTheLatestTimeNotTheLastEntry) {
    // Audio up to 5 s, then packets of another stream taking the running
    // time, far below it.
    std::vector<Bytes> packets;
    for (uint32_t t = 1000; t <= 5000; t += 1000) {
        packets.push_back(TimedPacket(t));
    }
    for (int i = 0; i < 3; ++i) {
        packets.push_back(TimedPacket({}, 100, 300, 2));
    }
    const Scanned s = Scan(packets);
    ASSERT_EQ(s.table.size(), 7u);
    EXPECT_EQ(s.table.back().timeMs, 200);
    EXPECT_EQ(s.duration, 5.0);
}

TEST(SeekTableTest, ATruncatedLastPacketIsWalkedOverTheBytesRead) {
    FileSpec layout;
    layout.props.packetSize = 300;
    layout.packets = {TimedPacket(100), TimedPacket(200)};
    Bytes file = AsfFile(layout);
    file.resize(file.size() - 250);  // 50 bytes of the last packet
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    const int64_t dataStart = static_cast<int64_t>(DataStart(file));
    EXPECT_EQ(CAsfDemuxerTestPeer::SeekTable(*demuxer), (Table{{dataStart, 100}, {dataStart + 300, 200}}));
}

}  // namespace
