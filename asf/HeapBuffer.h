#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

// Owner of a block from the C heap whose size the file decides (the header
// buffer, the codec extra data, the packet buffer). Allocation failure is a
// result, not an exception: Allocate returns false and the buffer is empty.
class CHeapBuffer {
public:
    CHeapBuffer() = default;
    ~CHeapBuffer() { Reset(); }
    CHeapBuffer(const CHeapBuffer&) = delete;
    CHeapBuffer& operator=(const CHeapBuffer&) = delete;
    CHeapBuffer(CHeapBuffer&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}
    CHeapBuffer& operator=(CHeapBuffer&& other) noexcept {
        if (this != &other) {
            Reset();
            m_data = std::exchange(other.m_data, nullptr);
            m_size = std::exchange(other.m_size, 0);
        }
        return *this;
    }

    // Replaces the block with `size` bytes (a distinct non-null block even
    // when size is 0), zeroed when `zeroed` is set.
    [[nodiscard]] bool Allocate(size_t size, bool zeroed) {
        Reset();
        const size_t bytes = size == 0 ? 1 : size;
        void* block = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
        if (block == nullptr) {
            return false;
        }
        m_data = static_cast<uint8_t*>(block);
        m_size = size;
        return true;
    }

    // Changes the size to `size`, keeping the bytes that fit. Bytes beyond
    // the old size are undefined. On failure the buffer is unchanged.
    [[nodiscard]] bool Resize(size_t size) {
        void* block = std::realloc(m_data, size == 0 ? 1 : size);
        if (block == nullptr) {
            return false;
        }
        m_data = static_cast<uint8_t*>(block);
        m_size = size;
        return true;
    }

    void Reset() noexcept {
        std::free(m_data);
        m_data = nullptr;
        m_size = 0;
    }

    uint8_t* Data() noexcept { return m_data; }
    const uint8_t* Data() const noexcept { return m_data; }
    size_t Size() const noexcept { return m_size; }

private:
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
};
