#include "tools/vqprobe/CFileByteStream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

CFileByteStream::~CFileByteStream() {
    if (m_mapping != nullptr) {
        munmap(m_mapping, m_size);
    }
}

bool CFileByteStream::OpenFile(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "Is a directory" : (errno != 0 ? std::strerror(errno) : "Not a regular file");
        close(fd);
        return false;
    }
    m_size = static_cast<size_t>(st.st_size);
    if (m_size > 0) {
        void* mapping = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapping == MAP_FAILED) {
            error = std::strerror(errno);
            close(fd);
            return false;
        }
        // The demuxer reads front to back, with short skips.
        madvise(mapping, m_size, MADV_SEQUENTIAL);
        m_mapping = mapping;
        m_data = static_cast<const uint8_t*>(mapping);
    }
    close(fd);
    m_arrived = m_size;
    return true;
}

void CFileByteStream::SetStreaming(size_t arrived, size_t chunk) {
    m_streaming = true;
    m_arrived = std::min(arrived, m_size);
    m_chunk = chunk;
}

int32_t CFileByteStream::Copy(void* buffer, int32_t count) const {
    const int64_t end = static_cast<int64_t>(m_arrived);
    if (count <= 0 || m_pos < 0 || m_pos >= end) {
        return 0;
    }
    const int64_t n = std::min<int64_t>(count, end - m_pos);
    std::memcpy(buffer, m_data + m_pos, static_cast<size_t>(n));
    return static_cast<int32_t>(n);
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
