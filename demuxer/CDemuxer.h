#pragma once

#include "demuxer/IDemuxer.h"

// Base of the concrete demuxers: holds the media record and gives every
// operation a harmless default, so a demuxer overrides only what it needs.
class CDemuxer : public IDemuxer {
public:
    bool Open(IByteStream* stream) override;
    void Close() override;
    void Seek(double* seconds) override;
    int32_t ReadFrame(uint8_t* buffer, int32_t capacity) override;
    const MediaInfo* GetMediaInfo() override;
    void Release() override;

protected:
    CDemuxer() = default;
    ~CDemuxer() override = default;

    MediaInfo m_info{};
};
