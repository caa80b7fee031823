#pragma once

#include <cstddef>
#include <cstdint>

// Body of the File Properties Object, 80 bytes, fields in file order.
struct FileProperties {
    uint8_t fileId[16];
    uint64_t fileSize;
    uint64_t creationDate;
    uint64_t dataPacketsCount;
    uint64_t playDuration;  // 100-nanosecond units
    uint64_t sendDuration;  // 100-nanosecond units
    uint64_t preroll;       // milliseconds
    uint32_t flags;
    uint32_t minDataPacketSize;
    uint32_t maxDataPacketSize;
    uint32_t maxBitrate;  // bits per second
};

inline constexpr size_t kFilePropertiesSize = 80;

// Decodes the 80-byte File Properties body at `body`.
FileProperties ParseFileProperties(const uint8_t* body) noexcept;

// The 18-byte WAVEFORMATEX that opens an audio stream's Type-Specific Data.
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t cbSize;
};

inline constexpr size_t kWaveFormatSize = 18;

// Decodes the WAVEFORMATEX at `data` (18 bytes).
WaveFormat ParseWaveFormat(const uint8_t* data) noexcept;
