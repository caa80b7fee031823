#include <gtest/gtest.h>

#include <vector>

#include "asf/AsfGuids.h"

namespace {

std::vector<uint8_t> BufferWithGuidAt(size_t length, size_t at) {
    std::vector<uint8_t> buffer(length, 0xAA);
    std::copy(kStreamPropertiesObjectGuid.begin(), kStreamPropertiesObjectGuid.end(), buffer.begin() + at);
    return buffer;
}

TEST(AsfGuidsTest, GuidEqualsComparesAllSixteenBytes) {
    AsfGuid other = kDataObjectGuid;
    EXPECT_TRUE(GuidEquals(other.data(), kDataObjectGuid.data()));
    other[15] ^= 1;
    EXPECT_FALSE(GuidEquals(other.data(), kDataObjectGuid.data()));
    // The Header and Data Object GUIDs differ in their first byte only.
    EXPECT_FALSE(GuidEquals(kHeaderObjectGuid.data(), kDataObjectGuid.data()));
}

TEST(AsfGuidsTest, FindObjectBodyTriesEveryPositionUpToLengthMinus20) {
    const int32_t length = 100;
    struct Case {
        int32_t guidAt;
        int32_t expected;
    };
    const Case cases[] = {
        {0, 24}, {1, 25}, {80, 104}, {81, -1}, {82, -1}, {83, -1}, {84, -1},
    };
    for (const Case& c : cases) {
        const auto buffer = BufferWithGuidAt(length, static_cast<size_t>(c.guidAt));
        EXPECT_EQ(FindObjectBody(buffer.data(), length, 0, kStreamPropertiesObjectGuid), c.expected)
            << "GUID at " << c.guidAt;
    }
}

TEST(AsfGuidsTest, FindObjectBodyStartsAtTheGivenPosition) {
    auto buffer = BufferWithGuidAt(200, 10);
    std::copy(kStreamPropertiesObjectGuid.begin(), kStreamPropertiesObjectGuid.end(), buffer.begin() + 40);
    EXPECT_EQ(FindObjectBody(buffer.data(), 200, 0, kStreamPropertiesObjectGuid), 34);
    EXPECT_EQ(FindObjectBody(buffer.data(), 200, 10, kStreamPropertiesObjectGuid), 34);
    EXPECT_EQ(FindObjectBody(buffer.data(), 200, 11, kStreamPropertiesObjectGuid), 64);
    EXPECT_EQ(FindObjectBody(buffer.data(), 200, 64, kStreamPropertiesObjectGuid), -1);
    // A start at or past length - 19 compares nothing.
    EXPECT_EQ(FindObjectBody(buffer.data(), 200, 181, kStreamPropertiesObjectGuid), -1);
}

TEST(AsfGuidsTest, FindObjectBodyNeverMatchesInBuffersBelow20Bytes) {
    for (int32_t length = 0; length < 20; ++length) {
        std::vector<uint8_t> buffer(kStreamPropertiesObjectGuid.begin(), kStreamPropertiesObjectGuid.end());
        buffer.resize(static_cast<size_t>(length) + 1, 0);
        EXPECT_EQ(FindObjectBody(buffer.data(), length, 0, kStreamPropertiesObjectGuid), -1) << length;
    }
}

}  // namespace
