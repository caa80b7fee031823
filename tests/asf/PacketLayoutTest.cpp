#include <gtest/gtest.h>

#include <vector>

#include "asf/PacketLayout.h"
#include "tests/support/AsfWriter.h"

namespace {

using namespace asftest;

TEST(PacketLayoutTest, LengthTypedFieldsBySizeCode) {
    const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44, 0x55};
    struct Case {
        uint32_t lengthType;
        uint32_t value;
        size_t size;
    };
    // Higher bits of the code are ignored: a flags byte may be passed shifted.
    const Case cases[] = {{0, 99, 0}, {1, 0x11, 1}, {2, 0x2211, 2}, {3, 0x44332211, 4}, {0xFD, 0x11, 1}};
    for (const Case& c : cases) {
        CByteCursor cursor(bytes, sizeof bytes);
        EXPECT_TRUE(LengthTypedFieldFits(c.lengthType, cursor));
        EXPECT_EQ(ReadLengthTypedField(c.lengthType, cursor, 99), c.value) << c.lengthType;
        EXPECT_EQ(cursor.Position(), c.size) << c.lengthType;
    }
}

TEST(PacketLayoutTest, AFieldFitsWhenItsLastByteIsThePacketsLast) {
    const uint8_t bytes[6] = {};
    CByteCursor cursor(bytes, sizeof bytes);
    ASSERT_TRUE(cursor.Skip(2));
    EXPECT_TRUE(LengthTypedFieldFits(3, cursor));
    ASSERT_TRUE(cursor.Skip(1));
    EXPECT_FALSE(LengthTypedFieldFits(3, cursor));
    EXPECT_EQ(ReadLengthTypedField(3, cursor, 5), 5u);  // unread: the default
    EXPECT_EQ(cursor.Position(), 3u);
    ASSERT_TRUE(cursor.Skip(3));
    EXPECT_TRUE(LengthTypedFieldFits(0, cursor));  // absent fields always fit
}

TEST(PacketLayoutTest, ErrorCorrectionMovesTheFlagBytes) {
    // 0x82: two bytes of error correction data; the flags follow at 3 and 4.
    const uint8_t withEc[] = {0x82, 0xEE, 0xEE, 0x10, 0x5D, 0x64, 0x00, 1, 2, 3, 4, 0x2C, 0x01};
    CByteCursor cursor(withEc, sizeof withEc);
    PacketHeader header;
    ASSERT_TRUE(ReadPacketHeader(cursor, header));
    EXPECT_EQ(header.lengthTypeFlags, 0x10);
    EXPECT_EQ(header.propertyFlags, 0x5D);
    EXPECT_EQ(header.paddingLength, 100u);
    EXPECT_EQ(header.duration, 300);
    EXPECT_FALSE(header.hasPacketLength);
    EXPECT_EQ(header.payloadCount, 1u);
    EXPECT_EQ(cursor.Position(), 13u);

    // Bit 7 clear: the first byte is the length type flags itself.
    const uint8_t withoutEc[] = {0x01, 0x5D, 0, 0, 0, 0, 0, 0, 0x82};
    CByteCursor second(withoutEc, sizeof withoutEc);
    ASSERT_TRUE(ReadPacketHeader(second, header));
    EXPECT_EQ(header.propertyFlags, 0x5D);
    EXPECT_TRUE(header.multiplePayloads);
    EXPECT_EQ(header.payloadCount, 2u);
    EXPECT_EQ(header.payloadLengthType, 2u);
}

TEST(PacketLayoutTest, HeaderFieldsThatDoNotFitFailTheRead) {
    // 0x8E in a 16-byte packet puts the property flags at 16.
    std::vector<uint8_t> packet(16, 0);
    packet[0] = 0x8E;
    CByteCursor cursor(packet.data(), packet.size());
    PacketHeader header;
    EXPECT_FALSE(ReadPacketHeader(cursor, header));

    // Every cut of a full header fails somewhere, never reads past the cut.
    PacketSpec layout;
    layout.packetLengthType = 3;
    layout.sequenceType = 2;
    layout.payloads = {{}, {}};
    const Bytes full = Packet(layout);
    for (size_t cut = 0; cut < 20; ++cut) {
        const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        CByteCursor partial(part.data(), part.size());
        EXPECT_FALSE(ReadPacketHeader(partial, header)) << cut;
    }
    CByteCursor whole(full.data(), 20);
    EXPECT_TRUE(ReadPacketHeader(whole, header));
}

TEST(PacketLayoutTest, PayloadHeaderOfTheWorkedExample) {
    // Stream number byte 0x81 (stream 1, key frame), 1-byte media object
    // number, 4-byte offset, 1-byte replicated data length 8.
    const uint8_t bytes[] = {0x81, 7, 1, 2, 3, 4, 8};
    CByteCursor cursor(bytes, sizeof bytes);
    PayloadHeader payload;
    ASSERT_TRUE(ReadPayloadHeader(cursor, 0x5D, payload));
    EXPECT_EQ(payload.streamNumber, 1);
    EXPECT_EQ(payload.replicatedLength, 8u);
    EXPECT_EQ(cursor.Position(), 7u);

    CByteCursor cut(bytes, 6);
    EXPECT_FALSE(ReadPayloadHeader(cut, 0x5D, payload));
}

}  // namespace
