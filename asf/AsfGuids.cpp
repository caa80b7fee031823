#include "asf/AsfGuids.h"

#include <cstdint>
#include <cstring>

bool GuidEquals(const uint8_t* a, const uint8_t* b) noexcept { return std::memcmp(a, b, 16) == 0; }

int32_t FindObjectBody(const uint8_t* buffer, int32_t length, int32_t start, const AsfGuid& guid) noexcept {
    if (start < 0 || length < 20) {
        return -1;
    }
    // The last position tried is length - 20: its 16 bytes end 4 bytes
    // before the end of the buffer.
    const int32_t limit = length - 19;
    const void* found = nullptr;
    for (int32_t p = start; p < limit; ++p) {
        // memchr finds the candidates for the first byte quickly; the full
        // compare confirms them.
        found = std::memchr(buffer + p, guid[0], static_cast<size_t>(limit - p));
        if (found == nullptr) {
            return -1;
        }
        p = static_cast<int32_t>(static_cast<const uint8_t*>(found) - buffer);
        if (GuidEquals(buffer + p, guid.data())) {
            // p < length - 19, so only a buffer within 4 bytes of the int32
            // range could overflow here; its match is reported as none.
            return p <= INT32_MAX - 24 ? p + 24 : -1;
        }
    }
    return -1;
}
