#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Readable name of a WAVEFORMATEX format tag, or "unknown".
std::string CodecName(uint16_t formatTag);

// Seconds as h:mm:ss.mmm.
std::string FormatDuration(double seconds);

// Bytes as lower-case hex digits, separated by `separator` when not 0.
std::string Hex(const uint8_t* data, size_t size, char separator = 0);

// CRC-32 (IEEE 802.3, as zlib computes it) of `size` bytes.
uint32_t Crc32(const uint8_t* data, size_t size);
