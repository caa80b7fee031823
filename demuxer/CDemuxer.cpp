#include "demuxer/CDemuxer.h"

bool CDemuxer::Open(IByteStream* /*stream*/) { return false; }

void CDemuxer::Close() {}

void CDemuxer::Seek(double* /*seconds*/) {}

int32_t CDemuxer::ReadFrame(uint8_t* /*buffer*/, int32_t /*capacity*/) { return 0; }

const MediaInfo* CDemuxer::GetMediaInfo() { return &m_info; }

void CDemuxer::Release() { delete this; }
