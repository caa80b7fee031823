#pragma once

#include <vector>

#include "asf/CAsfDemuxer.h"

// Reads the private state of a CAsfDemuxer for assertions.
struct CAsfDemuxerTestPeer {
    static const std::vector<SeekPoint>& SeekTable(const IDemuxer& demuxer) {
        return static_cast<const CAsfDemuxer&>(demuxer).m_seekTable;
    }
    static int32_t Buffered(const IDemuxer& demuxer) { return static_cast<const CAsfDemuxer&>(demuxer).m_buffered; }
    static size_t QueuedFrames(const IDemuxer& demuxer) {
        return static_cast<const CAsfDemuxer&>(demuxer).m_frames.Size();
    }
};

inline bool operator==(const SeekPoint& a, const SeekPoint& b) {
    return a.position == b.position && a.timeMs == b.timeMs;
}
