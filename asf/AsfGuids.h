#pragma once

#include <array>
#include <cstdint>

// ASF GUIDs as 16 bytes in file order: the first three groups of the text
// form are stored little-endian, the last two as written.
using AsfGuid = std::array<uint8_t, 16>;

// 75B22630-668E-11CF-A6D9-00AA0062CE6C
inline constexpr AsfGuid kHeaderObjectGuid = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                              0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// 75B22636-668E-11CF-A6D9-00AA0062CE6C
inline constexpr AsfGuid kDataObjectGuid = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                            0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// 8CABDCA1-A947-11CF-8EE4-00C00C205365
inline constexpr AsfGuid kFilePropertiesObjectGuid = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                      0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
// B7DC0791-A9B7-11CF-8EE6-00C00C205365
inline constexpr AsfGuid kStreamPropertiesObjectGuid = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                                        0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
// F8699E40-5B4D-11CF-A8FD-00805F5C442B (ASF_Audio_Media). Only its first
// group, the first 4 bytes, is compared: any stream type that begins with
// them counts as audio.
inline constexpr std::array<uint8_t, 4> kAudioMediaTypePrefix = {0x40, 0x9E, 0x69, 0xF8};

// True when the 16 bytes at `a` and at `b` are equal.
bool GuidEquals(const uint8_t* a, const uint8_t* b) noexcept;

// Searches `buffer` byte by byte, from `start`, for `guid`, and returns the
// offset of the body of the first object found (24 bytes past its GUID: the
// GUID and the 8-byte Object Size), or -1. Positions from length - 19 on are
// never tried, so the body offset returned may lie up to 4 bytes past the
// end of the buffer: callers check it before they read.
int32_t FindObjectBody(const uint8_t* buffer, int32_t length, int32_t start, const AsfGuid& guid) noexcept;
