#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The frames' destination. ReadFrame writes each frame straight into this
// block, behind the frames before it, and whole blocks go out with one
// write: a frame is copied once by the module and never again here. The
// block keeps room for the largest possible frame behind its fill mark.
class CFrameSink {
public:
    explicit CFrameSink(size_t maxFrame);
    ~CFrameSink();
    CFrameSink(const CFrameSink&) = delete;
    CFrameSink& operator=(const CFrameSink&) = delete;

    // Sends the frames to `path` ("-": standard output). Without an output
    // the frames are dropped once counted. False with `error` set to the
    // system's reason.
    bool OpenOutput(const std::string& path, std::string& error);

    // Where the next frame goes, and how much it may hold.
    uint8_t* Tail() { return m_block.get() + m_used; }
    size_t Room() const { return m_maxFrame; }

    // The frame of `size` bytes at Tail() is complete.
    void Commit(size_t size) {
        m_used += size;
        if (m_used >= kFlushAt) {
            Flush();
        }
    }

    // Writes what is left. False with `error` set when any write failed.
    bool Finish(std::string& error);

private:
    static constexpr size_t kFlushAt = 1u << 20;

    void Flush();

    size_t m_maxFrame;
    std::unique_ptr<uint8_t[]> m_block;
    size_t m_used = 0;
    int m_fd = -1;
    int m_failed = 0;
};
