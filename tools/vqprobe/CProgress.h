#pragma once

#include <chrono>
#include <cstdint>

#include "tools/vqprobe/CFileByteStream.h"

// A progress line on standard error, for long runs on large files, so they
// do not look frozen. Updated at most four times a second.
class CProgress {
public:
    CProgress(const CFileByteStream& file, bool enabled) : m_file(file), m_enabled(enabled) {}

    // Called once per frame read; cheap unless a line is due.
    void Update() {
        if (m_enabled && (++m_calls & 0x3FFF) == 0) {
            Show();
        }
    }

    // Clears the line, if one was shown.
    void Finish();

private:
    void Show();

    const CFileByteStream& m_file;
    bool m_enabled;
    uint64_t m_calls = 0;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};
