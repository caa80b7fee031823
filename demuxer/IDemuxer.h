#pragma once

#include <cstdint>

#include "demuxer/IByteStream.h"
#include "demuxer/MediaInfo.h"

// One demuxer instance, created by IDemuxerPlugin::CreateDemuxer and
// destroyed only by its own Release. Hosts built by other compilers rely on
// the order of the operations below; the virtual destructor is last.
//
// Expected calling order: Open, GetMediaInfo, ReadFrame repeatedly with Seek
// whenever the user repositions, then Close or Open on another stream, and
// finally Release. One host thread at a time; no locks are taken.
class IDemuxer {
public:
    // Closes whatever was open, then reads `stream` from its current
    // position, which must be the first byte of the ASF Header Object.
    // True when a file is open and GetMediaInfo describes it. From a
    // successful Open until the next Close, Open or Release the demuxer
    // calls the stream, so the host keeps it alive that long. The demuxer
    // never destroys the stream.
    virtual bool Open(IByteStream* stream) = 0;

    // Ends the file: frees what the demuxer allocated for it and zeroes the
    // media record. Makes no call on the stream. Any state, any number of
    // times.
    virtual void Close() = 0;

    // On entry `*seconds` is the requested position from the start of the
    // media. When the demuxer repositions, it writes back the time of the
    // data packet it moved to; otherwise the value is left as it was.
    // Frames already queued from the packet read before the call are still
    // handed out first.
    virtual void Seek(double* seconds) = 0;

    // Copies the next frame of the audio stream into `buffer` and returns
    // its length in bytes (0 for an empty frame), or -1 when this call
    // delivered no frame. -1 does not by itself mean the data has ended: a
    // partly received packet, a malformed packet or one without audio also
    // give it, and the next call goes on with the next bytes of the stream.
    // When `capacity` is greater than 0 it is the size of `buffer`: a frame
    // longer than that is dropped (the call returns -1 and writes nothing).
    // When it is 0 or less the whole frame is written; no frame is longer
    // than the file's Maximum Data Packet Size.
    virtual int32_t ReadFrame(uint8_t* buffer, int32_t capacity) = 0;

    // The address of the demuxer's media record; it never changes during
    // the demuxer's life. The contents are meaningful after an Open that
    // returned true and until the next Close, Open or Release.
    virtual const MediaInfo* GetMediaInfo() = 0;

    // Destroys the demuxer. The host must not use it or its record again.
    virtual void Release() = 0;

protected:
    // Last entry of the table. Protected: only Release destroys a demuxer,
    // never the host's allocator.
    virtual ~IDemuxer() = default;
};
