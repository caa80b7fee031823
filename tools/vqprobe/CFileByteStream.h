#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "demuxer/IByteStream.h"

// A file as the host's byte stream, read through a read-only mapping.
//
// In streaming mode it plays a growing source: the bytes up to `arrived`
// have arrived; each Read first lets `chunk` more arrive, then delivers
// what it can of them, and IsStreaming stays true while bytes are still to
// arrive.
class CFileByteStream final : public IByteStream {
public:
    CFileByteStream() = default;
    ~CFileByteStream();
    CFileByteStream(const CFileByteStream&) = delete;
    CFileByteStream& operator=(const CFileByteStream&) = delete;

    // Maps `path`. False with `error` set to the system's reason.
    bool OpenFile(const std::string& path, std::string& error);

    void SetStreaming(size_t arrived, size_t chunk);

    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    int64_t Position() const { return m_pos; }

    int64_t GetSize() override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Peek(void* buffer, int32_t count) override;
    bool IsStreaming() override;
    bool AtEnd() override;
    int64_t Tell() override;
    bool SeekTo(int64_t position) override;
    bool Skip(int64_t offset, int32_t origin) override;

private:
    int32_t Copy(void* buffer, int32_t count) const;

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    void* m_mapping = nullptr;
    int64_t m_pos = 0;
    bool m_streaming = false;
    size_t m_arrived = 0;
    size_t m_chunk = 0;
};
