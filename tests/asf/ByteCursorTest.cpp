#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "asf/ByteCursor.h"

namespace {

TEST(ByteCursorTest, ReadsLittleEndianFieldsInOrder) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    CByteCursor cursor(bytes, sizeof bytes);
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    uint64_t u64 = 0;
    ASSERT_TRUE(cursor.ReadU8(u8));
    ASSERT_TRUE(cursor.ReadU16(u16));
    ASSERT_TRUE(cursor.ReadU32(u32));
    ASSERT_TRUE(cursor.ReadU64(u64));
    EXPECT_EQ(u8, 0x01);
    EXPECT_EQ(u16, 0x0302);
    EXPECT_EQ(u32, 0x07060504u);
    EXPECT_EQ(u64, 0x0F0E0D0C0B0A0908u);
    EXPECT_TRUE(cursor.AtEnd());
}

TEST(ByteCursorTest, AFailedReadLeavesTheCursorWhereItWas) {
    const uint8_t bytes[] = {1, 2, 3};
    CByteCursor cursor(bytes, sizeof bytes);
    ASSERT_TRUE(cursor.Skip(1));
    uint32_t u32 = 77;
    EXPECT_FALSE(cursor.ReadU32(u32));
    EXPECT_EQ(u32, 77u);
    EXPECT_EQ(cursor.Position(), 1u);
    EXPECT_FALSE(cursor.Skip(3));
    EXPECT_FALSE(cursor.Skip(std::numeric_limits<uint64_t>::max()));
    EXPECT_FALSE(cursor.SeekTo(4));
    EXPECT_TRUE(cursor.Skip(2));
    EXPECT_TRUE(cursor.AtEnd());
    uint8_t u8 = 0;
    EXPECT_FALSE(cursor.ReadU8(u8));
    EXPECT_TRUE(cursor.Skip(0));
}

TEST(ByteCursorTest, EmptyCursorReadsNothing) {
    CByteCursor cursor(nullptr, 0);
    uint8_t byte = 0;
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_FALSE(cursor.ReadU8(byte));
    EXPECT_TRUE(cursor.ReadBytes(nullptr, 0));
}

}  // namespace
