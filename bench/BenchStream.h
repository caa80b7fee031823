#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "demuxer/IByteStream.h"

// A lean seekable stream over bytes in memory, as a host's file stream
// backed by a mapping would be: every call is a few instructions.
class CBenchStream final : public IByteStream {
public:
    explicit CBenchStream(const std::vector<uint8_t>& data)
        : m_data(data.data()), m_size(static_cast<int64_t>(data.size())) {}
    ~CBenchStream() = default;

    int64_t GetSize() override { return m_size; }
    int32_t Read(void* buffer, int32_t count) override {
        const int32_t n = Peek(buffer, count);
        m_pos += n;
        return n;
    }
    int32_t Peek(void* buffer, int32_t count) override {
        if (count <= 0 || m_pos >= m_size) {
            return 0;
        }
        const auto n = static_cast<int32_t>(std::min<int64_t>(count, m_size - m_pos));
        std::memcpy(buffer, m_data + m_pos, static_cast<size_t>(n));
        return n;
    }
    bool IsStreaming() override { return false; }
    bool AtEnd() override { return m_pos >= m_size; }
    int64_t Tell() override { return m_pos; }
    bool SeekTo(int64_t position) override {
        m_pos = position;
        return true;
    }
    bool Skip(int64_t offset, int32_t /*origin*/) override {
        m_pos += offset;
        return true;
    }

private:
    const uint8_t* m_data;
    int64_t m_size;
    int64_t m_pos = 0;
};
