#include "tools/vqprobe/CFileByteStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

CFileByteStream::CFileByteStream() : m_window(std::make_unique_for_overwrite<uint8_t[]>(kWindowSize)) {}

CFileByteStream::~CFileByteStream() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool CFileByteStream::OpenFile(const std::string& path, std::string& error) {
    m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(m_fd, &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "Is a directory" : "Not a regular file";
        return false;
    }
    m_size = static_cast<size_t>(st.st_size);
    m_arrived = m_size;
    posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

void CFileByteStream::SetStreaming(size_t arrived, size_t chunk) {
    m_streaming = true;
    m_arrived = std::min(arrived, m_size);
    m_chunk = chunk;
}

size_t CFileByteStream::ReadAt(int64_t offset, void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n =
            pread(m_fd, static_cast<uint8_t*>(buffer) + done, count - done, offset + static_cast<int64_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

int32_t CFileByteStream::Copy(void* buffer, int32_t count) {
    const int64_t end = static_cast<int64_t>(m_arrived);
    if (count <= 0 || m_pos < 0 || m_pos >= end) {
        return 0;
    }
    const auto n = static_cast<size_t>(std::min<int64_t>(count, end - m_pos));
    const int64_t windowEnd = m_windowStart + static_cast<int64_t>(m_windowLength);
    if (m_pos >= m_windowStart && m_pos + static_cast<int64_t>(n) <= windowEnd) {
        std::memcpy(buffer, m_window.get() + (m_pos - m_windowStart), n);
        return static_cast<int32_t>(n);
    }
    if (n >= kWindowSize / 2) {
        return static_cast<int32_t>(ReadAt(m_pos, buffer, n));  // large: straight into place
    }
    m_windowStart = m_pos;
    m_windowLength = ReadAt(m_pos, m_window.get(), kWindowSize);
    const size_t available = std::min(n, m_windowLength);
    std::memcpy(buffer, m_window.get(), available);
    return static_cast<int32_t>(available);
}

int64_t CFileByteStream::GetSize() { return IsStreaming() ? -1 : static_cast<int64_t>(m_size); }

int32_t CFileByteStream::Read(void* buffer, int32_t count) {
    if (m_streaming) {
        m_arrived = m_size - m_arrived > m_chunk ? m_arrived + m_chunk : m_size;
    }
    const int32_t n = Copy(buffer, count);
    m_pos += n;
    return n;
}

int32_t CFileByteStream::Peek(void* buffer, int32_t count) { return Copy(buffer, count); }

bool CFileByteStream::IsStreaming() { return m_streaming && m_arrived < m_size; }

bool CFileByteStream::AtEnd() { return m_pos >= static_cast<int64_t>(m_size); }

int64_t CFileByteStream::Tell() { return m_pos; }

bool CFileByteStream::SeekTo(int64_t position) {
    if (position < 0) {
        return false;
    }
    m_pos = position;
    return true;
}

bool CFileByteStream::Skip(int64_t offset, int32_t origin) {
    int64_t base = m_pos;
    if (origin == kSkipFromStart) {
        base = 0;
    } else if (origin == kSkipFromEnd) {
        base = static_cast<int64_t>(m_size);
    } else if (origin != kSkipFromCurrent) {
        return false;
    }
    if (offset < -base || offset > INT64_MAX - base) {
        return false;
    }
    m_pos = base + offset;
    return true;
}
