#pragma once

// In-memory byte streams for tests: seekable, streaming (bytes arrive over
// time), short-reading (hands out at most a few bytes per Read), and
// recording every call it receives.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "demuxer/IByteStream.h"

namespace asftest {

class MemoryStream final : public IByteStream {
public:
    enum class Mode { Seekable, Streaming };

    explicit MemoryStream(std::vector<uint8_t> data, Mode mode = Mode::Seekable);
    ~MemoryStream() = default;

    // At most `bytes` per Read call (0: no limit).
    void SetMaxRead(int32_t bytes) { m_maxRead = bytes; }
    // Streaming: how many bytes of the data have arrived so far.
    void SetArrived(size_t bytes);
    void Arrive(size_t bytes) { SetArrived(m_arrived + bytes); }
    // Streaming: each Read first lets `bytes` more bytes arrive.
    void SetArrivePerRead(size_t bytes) { m_arrivePerRead = bytes; }
    void SetRecording(bool on) { m_recording = on; }

    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    int64_t Position() const { return m_pos; }
    size_t Size() const { return m_data.size(); }
    bool FullyArrived() const { return m_arrived == m_data.size(); }

    int64_t GetSize() override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Peek(void* buffer, int32_t count) override;
    bool IsStreaming() override;
    bool AtEnd() override;
    int64_t Tell() override;
    bool SeekTo(int64_t position) override;
    bool Skip(int64_t offset, int32_t origin) override;

private:
    void Record(const char* name, std::optional<int64_t> a = {}, std::optional<int64_t> b = {});
    int32_t Copy(void* buffer, int32_t count, bool advance);

    std::vector<uint8_t> m_data;
    Mode m_mode;
    int64_t m_pos = 0;
    size_t m_arrived;
    size_t m_arrivePerRead = 0;
    int32_t m_maxRead = 0;
    bool m_recording = true;
    std::vector<std::string> m_calls;
};

}  // namespace asftest
