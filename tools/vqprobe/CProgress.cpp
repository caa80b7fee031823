#include "tools/vqprobe/CProgress.h"

#include <algorithm>
#include <cstdio>

void CProgress::Show() {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last < std::chrono::milliseconds(250)) {
        return;
    }
    m_last = now;
    const double done = static_cast<double>(m_file.Position()) / static_cast<double>(m_file.Size());
    std::fprintf(stderr, "\rvqprobe: %5.1f%% of %zu MiB", 100.0 * std::min(done, 1.0), m_file.Size() >> 20);
    m_shown = true;
}

void CProgress::Finish() {
    if (m_shown) {
        std::fprintf(stderr, "\r%40s\r", "");
    }
}
