#include "tests/support/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace asftest {

MemoryStream::MemoryStream(std::vector<uint8_t> data, Mode mode)
    : m_data(std::move(data)), m_mode(mode), m_arrived(m_data.size()) {}

void MemoryStream::SetArrived(size_t bytes) { m_arrived = std::min(bytes, m_data.size()); }

void MemoryStream::Record(const char* name, std::optional<int64_t> a, std::optional<int64_t> b) {
    if (!m_recording) {
        return;  // no string is built: fuzzing and long tests stay fast
    }
    std::string call = name;
    for (const auto& argument : {a, b}) {
        if (argument) {
            call += " " + std::to_string(*argument);
        }
    }
    m_calls.push_back(std::move(call));
}

int32_t MemoryStream::Copy(void* buffer, int32_t count, bool advance) {
    if (count <= 0 || m_pos < 0) {
        return 0;
    }
    const int64_t end = static_cast<int64_t>(m_mode == Mode::Streaming ? m_arrived : m_data.size());
    int64_t n = std::min<int64_t>(count, std::max<int64_t>(0, end - m_pos));
    if (m_maxRead > 0) {
        n = std::min<int64_t>(n, m_maxRead);
    }
    if (n > 0) {
        std::memcpy(buffer, m_data.data() + m_pos, static_cast<size_t>(n));
    }
    if (advance) {
        m_pos += n;
    }
    return static_cast<int32_t>(n);
}

int64_t MemoryStream::GetSize() {
    Record("GetSize");
    return m_mode == Mode::Streaming && IsStreaming() ? -1 : static_cast<int64_t>(m_data.size());
}

int32_t MemoryStream::Read(void* buffer, int32_t count) {
    Record("Read", count);
    if (m_mode == Mode::Streaming) {
        Arrive(m_arrivePerRead);
    }
    return Copy(buffer, count, true);
}

int32_t MemoryStream::Peek(void* buffer, int32_t count) {
    Record("Peek", count);
    return Copy(buffer, count, false);
}

bool MemoryStream::IsStreaming() {
    Record("IsStreaming");
    return m_mode == Mode::Streaming && m_arrived < m_data.size();
}

bool MemoryStream::AtEnd() {
    Record("AtEnd");
    return m_pos >= static_cast<int64_t>(m_data.size());
}

int64_t MemoryStream::Tell() {
    Record("Tell");
    return m_pos;
}

bool MemoryStream::SeekTo(int64_t position) {
    Record("SeekTo", position);
    if (position < 0) {
        return false;
    }
    m_pos = position;
    return true;
}

bool MemoryStream::Skip(int64_t offset, int32_t origin) {
    Record("Skip", offset, origin);
    int64_t base = m_pos;
    if (origin == kSkipFromStart) {
        base = 0;
    } else if (origin == kSkipFromEnd) {
        base = static_cast<int64_t>(m_data.size());
    }
    if (offset < -base) {
        return false;
    }
    m_pos = base + offset;
    return true;
}

}  // namespace asftest
