#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Bounded little-endian reader over bytes that came from a file. Every read
// is checked here, in one place, in subtraction form (n <= size - pos, which
// cannot overflow because pos <= size always holds), and reports through a
// result that must be looked at. A failed read leaves the cursor unmoved.
class CByteCursor {
public:
    CByteCursor(const uint8_t* data, size_t size) noexcept : m_data(data), m_size(size) {}

    size_t Position() const noexcept { return m_pos; }
    size_t Size() const noexcept { return m_size; }
    size_t Remaining() const noexcept { return m_size - m_pos; }
    bool AtEnd() const noexcept { return m_pos == m_size; }
    [[nodiscard]] bool CanRead(size_t count) const noexcept { return count <= m_size - m_pos; }

    [[nodiscard]] bool SeekTo(size_t position) noexcept {
        if (position > m_size) {
            return false;
        }
        m_pos = position;
        return true;
    }

    [[nodiscard]] bool Skip(uint64_t count) noexcept {
        if (count > m_size - m_pos) {
            return false;
        }
        m_pos += static_cast<size_t>(count);
        return true;
    }

    [[nodiscard]] bool ReadBytes(uint8_t* out, size_t count) noexcept {
        if (!CanRead(count)) {
            return false;
        }
        if (count != 0) {
            std::memcpy(out, m_data + m_pos, count);
        }
        m_pos += count;
        return true;
    }

    [[nodiscard]] bool ReadU8(uint8_t& out) noexcept {
        if (!CanRead(1)) {
            return false;
        }
        out = m_data[m_pos++];
        return true;
    }

    [[nodiscard]] bool ReadU16(uint16_t& out) noexcept { return ReadLittleEndianWord(out); }
    [[nodiscard]] bool ReadU32(uint32_t& out) noexcept { return ReadLittleEndianWord(out); }
    [[nodiscard]] bool ReadU64(uint64_t& out) noexcept { return ReadLittleEndianWord(out); }

private:
    // One unaligned load, swapped on big-endian hosts.
    template <typename Word>
    [[nodiscard]] bool ReadLittleEndianWord(Word& out) noexcept {
        if (!CanRead(sizeof(Word))) {
            return false;
        }
        Word value;
        std::memcpy(&value, m_data + m_pos, sizeof(Word));
        if constexpr (std::endian::native == std::endian::big) {
            if constexpr (sizeof(Word) == 2) {
                value = __builtin_bswap16(value);
            } else if constexpr (sizeof(Word) == 4) {
                value = __builtin_bswap32(value);
            } else {
                value = __builtin_bswap64(value);
            }
        }
        m_pos += sizeof(Word);
        out = value;
        return true;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
