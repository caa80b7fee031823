// ReadFrame: payloads and sub-payloads of the selected stream, one per call.

#include <gtest/gtest.h>

#include <numeric>

#include "tests/support/AsfWriter.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

Bytes Pattern(size_t size, uint8_t seed) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), seed);
    return bytes;
}

Bytes FileOf(const std::vector<Bytes>& packets, uint32_t packetSize) {
    FileSpec layout;
    layout.props.packetSize = packetSize;
    layout.packets = packets;
    return AsfFile(layout);
}

Frames FramesOf(const std::vector<Bytes>& packets, uint32_t packetSize, int32_t capacity = 0) {
    MemoryStream stream(FileOf(packets, packetSize));
    auto demuxer = NewAsfDemuxer();
    EXPECT_TRUE(demuxer->Open(&stream));
    return ReadAllFrames(*demuxer, stream, capacity);
}

Bytes Slice(const Bytes& bytes, size_t from, size_t to) {
    return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to));
}

// The worked example packet: 600 bytes, two bytes of error correction
// data, property flags 0x5D, stream 1 with 8 bytes of replicated data.
PacketSpec WorkedExample() {
    PacketSpec layout;
    layout.size = 600;
    layout.errorCorrection = 2;
    layout.propertyFlags = 0x5D;
    layout.payloads = {{.stream = 1, .replicated = Replicated(572, 450), .data = Pattern(572, 0)}};
    return layout;
}

TEST(FrameDeliveryTest, SinglePayloadRunsToThePayloadDataEnd) {
    // Padding 100, no packet length: data from 28 up to 600 - 100.
    PacketSpec padded = WorkedExample();
    padded.padding = 100;
    const Bytes a = Packet(padded);
    ASSERT_EQ(a[0], 0x82);
    ASSERT_EQ(a[3], 0x10);
    // Packet length 560 and padding 40: data from 30 up to 560, the padding
    // is not subtracted.
    PacketSpec withLength = WorkedExample();
    withLength.packetLengthType = 2;
    withLength.packetLength = 560;
    withLength.padding = 40;
    withLength.payloads[0].data = Pattern(570, 0);
    const Bytes b = Packet(withLength);
    ASSERT_EQ(b[3], 0x50);
    // A computed length below zero runs to the end of the packet: padding
    // 590 leaves a payload data end of 10, before the data's start at 28.
    PacketSpec negative = WorkedExample();
    negative.padding = 590;
    const Bytes c = Packet(negative);

    const Frames frames = FramesOf({a, b, c}, 600);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], Slice(a, 28, 500));
    EXPECT_EQ(frames[1], Slice(b, 30, 560));
    EXPECT_EQ(frames[2], Slice(c, 28, 600));
}

TEST(FrameDeliveryTest, MultiplePayloadsOnlyTheSelectedStream) {
    // Length type flags 0x11, property flags 0x5D, payload flags 0x82: a
    // payload of stream 2 (data at 28..127), then one of stream 1 (50 bytes).
    PacketSpec layout;
    layout.size = 600;
    layout.errorCorrection = -1;
    layout.payloadLengthType = 2;
    layout.payloads = {{.stream = 2, .replicated = Replicated(100, 10), .data = Pattern(100, 0)},
                       {.stream = 1, .replicated = Replicated(50, 10), .data = Pattern(50, 100)}};
    const Bytes packet = Packet(layout);
    ASSERT_EQ(packet[0], 0x11);
    ASSERT_EQ(packet[10], 0x82);
    const Frames frames = FramesOf({packet}, 600);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], Slice(packet, 145, 195));
}

TEST(FrameDeliveryTest, CompressedPayloadsDeliverEverySubPayload) {
    PacketSpec layout;
    layout.payloads = {{.replicated = {0x05}, .data = SubPayloads({{1, 2, 3}, {4, 5}, {}})},
                       {.stream = 2, .replicated = {0x05}, .data = SubPayloads({{9, 9}})},
                       {.replicated = {0x05}, .data = SubPayloads({{6}})}};
    // A length byte beyond what is left of the payload: 0x09 then 4 bytes.
    PacketSpec overlong;
    overlong.payloads = {{.replicated = {0x05}, .data = {0x09, 1, 2, 3, 4}}};
    const Frames frames = FramesOf({Packet(layout), Packet(overlong)}, 256);
    const Frames expected = {{1, 2, 3}, {4, 5}, {}, {6}};
    EXPECT_EQ(frames, expected);
}

TEST(FrameDeliveryTest, PayloadLengthsAreHeldWithinThePacket) {
    // A payload length beyond the packet: the frame is cut at its end.
    PacketSpec longer;
    longer.size = 200;
    longer.payloads = {{.stream = 2, .replicated = Replicated(4, 1), .data = Pattern(10, 0)},
                       {.replicated = Replicated(4, 1), .data = Pattern(20, 0), .payloadLength = 5000}};
    const Bytes a = Packet(longer);
    // An empty payload of the selected stream is a frame of 0 bytes.
    PacketSpec empty;
    empty.size = 200;
    empty.payloads = {{.replicated = Replicated(0, 1), .data = {}}, {.stream = 2, .data = Pattern(3, 0)}};
    // Multiple payloads without a payload length field: the data runs to the
    // payload data end.
    PacketSpec noLengthField;
    noLengthField.size = 200;
    noLengthField.payloadLengthType = 0;
    noLengthField.padding = 50;
    noLengthField.payloads = {{.replicated = Replicated(0, 1), .data = Pattern(20, 7)}, {}};
    noLengthField.payloadCount = 1;
    const Bytes c = Packet(noLengthField);

    const Frames frames = FramesOf({a, Packet(empty), c}, 200);
    ASSERT_EQ(frames.size(), 3u);
    // Packet header 14 bytes, a payload header with 8 bytes of replicated
    // data and a length field 17, the first payload's data 10.
    EXPECT_EQ(frames[0], Slice(a, 14 + 17 + 10 + 17, 200));
    EXPECT_TRUE(frames[1].empty());
    // Without length fields the payload header is 15 bytes; the data ends
    // at 200 - 50.
    EXPECT_EQ(frames[2], Slice(c, 14 + 15, 150));
}

TEST(FrameDeliveryTest, MalformedOrFruitlessPacketsGiveMinusOneAndTheNextPacketFollows) {
    const Bytes good = Packet({.payloads = {{.replicated = Replicated(4, 1), .data = Pattern(40, 1)}}});
    Bytes tooLong = Packet({.packetLengthType = 2,
                            .packetLength = 257,
                            .payloads = {{.replicated = Replicated(4, 1), .data = Pattern(9, 1)}}});
    Bytes fifteenEcBytesNoPayload(256, 0);  // error correction 0x8F: 15 bytes
    fifteenEcBytesNoPayload[0] = 0x8F;
    fifteenEcBytesNoPayload[16] = 0x01;  // multiple payloads ...
    fifteenEcBytesNoPayload[17] = 0x5D;
    fifteenEcBytesNoPayload[24] = 0x00;  // ... but a payload count of 0
    const Bytes otherStream = Packet({.payloads = {{.stream = 5, .data = Pattern(30, 0)}}});
    const Bytes countZero = Packet({.payloadCount = 0, .payloads = {{.data = Pattern(3, 0)}, {}}});
    Bytes replicatedPastEnd = Packet({.size = 40, .payloads = {{.data = {}, .replicatedLength = 250}}});
    replicatedPastEnd.resize(256, 0);

    MemoryStream stream(
        FileOf({tooLong, fifteenEcBytesNoPayload, otherStream, countZero, replicatedPastEnd, good}, 256));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    uint8_t buffer[256];
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1) << "packet " << i;
    }
    EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 40);
    // At the end of the data every call gives -1.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);
    }
}

TEST(FrameDeliveryTest, PropertyFlagsBeyondASmallPacketDropIt) {
    // 0x8E in a 16-byte packet puts the property flags at 16.
    Bytes packet(16, 0);
    packet[0] = 0x8E;
    MemoryStream stream(FileOf({packet}, 16));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    uint8_t buffer[16];
    EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);
}

TEST(FrameDeliveryTest, PacketSizesBelowTwoReadNothing) {
    for (uint32_t size : {0u, 1u}) {
        MemoryStream stream(FileOf({Bytes(size, 0x01)}, size));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        stream.ClearCalls();
        uint8_t buffer[4];
        EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);
        EXPECT_TRUE(stream.Calls().empty());
    }
}

TEST(FrameDeliveryTest, StreamingSourceKeepsAPartPacketUntilTheRestArrives) {
    PacketSpec layout = WorkedExample();
    layout.payloads.push_back({.stream = 1, .replicated = Replicated(4, 1), .data = Pattern(8, 1)});
    layout.payloads[0].data = Pattern(200, 3);
    const Bytes packet = Packet(layout);
    const Bytes file = FileOf({packet}, 600);
    const size_t dataStart = DataStart(file);
    MemoryStream stream(file, MemoryStream::Mode::Streaming);
    stream.SetArrived(dataStart);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    uint8_t buffer[600];
    EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);  // nothing yet

    stream.Arrive(300);
    stream.ClearCalls();
    EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1);
    EXPECT_EQ(stream.Calls().front(), "Read 600");

    stream.Arrive(300);
    stream.ClearCalls();
    ASSERT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 200);
    EXPECT_EQ(stream.Calls().front(), "Read 300");
    EXPECT_EQ(Bytes(buffer, buffer + 200), Pattern(200, 3));
    EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), 8);
}

TEST(FrameDeliveryTest, ATruncatedLastPacketYieldsOnlyBytesThatArrived) {
    // The first packet fills the buffer with 0xEE; the last is cut inside
    // its payload and declares its payload to run to the packet's end.
    const Bytes first = Packet({.size = 300, .payloads = {{.replicated = Replicated(4, 1), .data = Bytes(250, 0xEE)}}});
    const Bytes last = Packet({.size = 300, .payloads = {{.replicated = Replicated(4, 1), .data = Pattern(250, 0)}}});
    Bytes file = FileOf({first, last}, 300);
    file.resize(file.size() - 150);
    for (int32_t maxRead : {0, 7}) {
        MemoryStream stream(file);
        stream.SetMaxRead(maxRead);
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        const Frames frames = ReadAllFrames(*demuxer, stream);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(frames[1], Slice(last, 28, 150));
    }
}

TEST(FrameDeliveryTest, CapacityDropsFramesThatWouldNotFit) {
    const Bytes packet = Packet(
        {.payloads = {{.replicated = {0x05}, .data = SubPayloads({Pattern(10, 0), Pattern(30, 0), Pattern(20, 0)})}}});
    MemoryStream stream(FileOf({packet}, 256));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    uint8_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), 0xCC);
    EXPECT_EQ(demuxer->ReadFrame(buffer, 20), 10);
    EXPECT_EQ(demuxer->ReadFrame(buffer + 32, 20), -1);  // 30 bytes: dropped
    EXPECT_EQ(buffer[32], 0xCC);
    EXPECT_EQ(demuxer->ReadFrame(buffer, 20), 20);  // the next frame follows

    // 0 or less: the whole frame, as before.
    for (int32_t capacity : {0, -1}) {
        MemoryStream again(FileOf({packet}, 256));
        ASSERT_TRUE(demuxer->Open(&again));
        const Frames frames = ReadAllFrames(*demuxer, again, capacity);
        ASSERT_EQ(frames.size(), 3u);
        EXPECT_EQ(frames[1].size(), 30u);
    }
}

}  // namespace
