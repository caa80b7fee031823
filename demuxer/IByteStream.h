#pragma once

#include <cstdint>

// The host's source of file bytes, handed to IDemuxer::Open.
//
// The host implements this interface and owns every instance: a demuxer
// never destroys a stream, so the destructor is protected and not virtual
// (a virtual destructor would take two slots of the table of operations in
// the Itanium C++ ABI and move the entries below). Hosts built by other
// compilers rely on the order of the eight entries below; never reorder them.
//
// The stream has a current position, a signed 64-bit byte offset from its
// start. All calls come on the thread that is calling the demuxer, and only
// between an Open and the next Close, Open or Release of that demuxer.
class IByteStream {
public:
    // Entry 1. Total length of the data in bytes, or -1 while it is unknown
    // (a growing or network source). The ASF demuxer never calls it; it is
    // here for hosts that share one stream type among several plug-ins.
    virtual int64_t GetSize() = 0;

    // Entry 2. Copies up to `count` bytes from the current position into
    // `buffer` and advances the position by the number copied, which it
    // returns. 0 or less means nothing was read. Unless IsStreaming() is
    // true, a count below `count` means the data ends there.
    virtual int32_t Read(void* buffer, int32_t count) = 0;

    // Entry 3. Like Read, but leaves the position where it is. The ASF
    // demuxer never calls it.
    virtual int32_t Peek(void* buffer, int32_t count) = 0;

    // Entry 4. True while bytes that Read cannot give yet may still arrive
    // (a growing file or a network source). The demuxer then builds no seek
    // table and keeps a partly received data packet until later reads
    // complete it.
    virtual bool IsStreaming() = 0;

    // Entry 5. True when the position is at the end of the data.
    virtual bool AtEnd() = 0;

    // Entry 6. The current position.
    virtual int64_t Tell() = 0;

    // Entry 7. Makes the absolute `position` current. The result (true on
    // success) is never examined: a failed move shows in later Read and
    // Tell results.
    virtual bool SeekTo(int64_t position) = 0;

    // Entry 8. Moves by `offset` bytes from `origin`. The demuxer passes only
    // origin kSkipFromCurrent (1) with offsets of 0 or more. The result is
    // never examined.
    virtual bool Skip(int64_t offset, int32_t origin) = 0;

    static constexpr int32_t kSkipFromStart = 0;
    static constexpr int32_t kSkipFromCurrent = 1;
    static constexpr int32_t kSkipFromEnd = 2;

protected:
    ~IByteStream() = default;
};
