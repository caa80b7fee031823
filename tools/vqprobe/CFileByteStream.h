#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "demuxer/IByteStream.h"

// A file as the host's byte stream, read through a window: a block of the
// file read with one system call, from which reads are served until they
// leave it. The demuxer's reads are short and mostly in order (a packet at
// a time, or the first bytes of every packet), so nearly all of them are
// served from the window, which stays in the processor's cache.
//
// In streaming mode it plays a growing source: the bytes up to `arrived`
// have arrived; each Read first lets `chunk` more arrive, then delivers
// what it can of them, and IsStreaming stays true while bytes are still to
// arrive.
class CFileByteStream final : public IByteStream {
public:
    CFileByteStream();
    ~CFileByteStream();
    CFileByteStream(const CFileByteStream&) = delete;
    CFileByteStream& operator=(const CFileByteStream&) = delete;

    // Opens `path`. False with `error` set to the system's reason.
    bool OpenFile(const std::string& path, std::string& error);

    void SetStreaming(size_t arrived, size_t chunk);

    size_t Size() const { return m_size; }
    int64_t Position() const { return m_pos; }

    // Copies up to `count` bytes at `offset` (whether arrived or not);
    // returns the number copied.
    size_t ReadAt(int64_t offset, void* buffer, size_t count);

    int64_t GetSize() override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Peek(void* buffer, int32_t count) override;
    bool IsStreaming() override;
    bool AtEnd() override;
    int64_t Tell() override;
    bool SeekTo(int64_t position) override;
    bool Skip(int64_t offset, int32_t origin) override;

private:
    static constexpr size_t kWindowSize = 1u << 20;

    int32_t Copy(void* buffer, int32_t count);

    int m_fd = -1;
    size_t m_size = 0;
    std::unique_ptr<uint8_t[]> m_window;
    int64_t m_windowStart = 0;
    size_t m_windowLength = 0;
    int64_t m_pos = 0;
    bool m_streaming = false;
    size_t m_arrived = 0;
    size_t m_chunk = 0;
};
