#include "tools/vqprobe/CFrameSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

CFrameSink::CFrameSink(size_t maxFrame)
    : m_maxFrame(maxFrame), m_block(std::make_unique_for_overwrite<uint8_t[]>(kFlushAt + maxFrame)) {}

CFrameSink::~CFrameSink() {
    if (m_fd > STDERR_FILENO) {
        close(m_fd);
    }
}

bool CFrameSink::OpenOutput(const std::string& path, std::string& error) {
    m_fd = path == "-" ? STDOUT_FILENO : open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool CFrameSink::Finish(std::string& error) {
    Flush();
    if (m_failed != 0) {
        error = std::strerror(m_failed);
        return false;
    }
    return true;
}

void CFrameSink::Flush() {
    for (size_t done = 0; m_fd >= 0 && m_failed == 0 && done < m_used;) {
        const ssize_t n = write(m_fd, m_block.get() + done, m_used - done);
        if (n < 0 && errno != EINTR) {
            m_failed = errno;
        }
        done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    m_used = 0;
}
