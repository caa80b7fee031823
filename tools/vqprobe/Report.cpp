#include "tools/vqprobe/Report.h"

#include <array>
#include <cmath>
#include <cstdio>

std::string CodecName(uint16_t formatTag) {
    switch (formatTag) {
        case 0x0001: return "PCM";
        case 0x0002: return "Microsoft ADPCM";
        case 0x0003: return "IEEE float";
        case 0x0006: return "A-law";
        case 0x0007: return "mu-law";
        case 0x000A: return "Windows Media Audio Voice";
        case 0x0011: return "IMA ADPCM";
        case 0x0050: return "MPEG-1 audio";
        case 0x0055: return "MPEG layer 3 (MP3)";
        case 0x00FF: return "AAC";
        case 0x0130: return "ACELP.net";
        case 0x0160: return "Windows Media Audio v1";
        case 0x0161: return "Windows Media Audio v2";
        case 0x0162: return "Windows Media Audio Pro";
        case 0x0163: return "Windows Media Audio Lossless";
        case 0x1610: return "HE-AAC (ADTS)";
        case 0x2000: return "AC-3";
        case 0x2001: return "DTS";
        default: return "unknown";
    }
}

std::string FormatDuration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0.0 || seconds >= 3.6e9) {
        char text[64];
        std::snprintf(text, sizeof text, "%g s", seconds);
        return text;
    }
    const auto totalMs = static_cast<uint64_t>(std::llround(seconds * 1000.0));
    const uint64_t ms = totalMs % 1000;
    const uint64_t s = totalMs / 1000 % 60;
    const uint64_t m = totalMs / 60000 % 60;
    const uint64_t h = totalMs / 3600000;
    char text[64];
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu.%03llu", static_cast<unsigned long long>(h),
                  static_cast<unsigned long long>(m), static_cast<unsigned long long>(s),
                  static_cast<unsigned long long>(ms));
    return text;
}

std::string Hex(const uint8_t* data, size_t size, char separator) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (separator != 0 && i > 0) {
            text += separator;
        }
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 15];
    }
    return text;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}
