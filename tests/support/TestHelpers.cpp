#include "tests/support/TestHelpers.h"

#include <fstream>
#include <iterator>

#include "asf/CAsfDemuxer.h"

namespace asftest {

DemuxerPtr NewAsfDemuxer() { return DemuxerPtr(new CAsfDemuxer()); }

Frames ReadAllFrames(IDemuxer& demuxer, MemoryStream& stream, int32_t capacity) {
    static std::vector<uint8_t> buffer(CAsfDemuxer::kMaxPacketSize);
    Frames frames;
    // Frames dropped for the capacity also give -1, so the end is taken as
    // reached after a run of -1 at the end of the data. The outer bound
    // guards against a demuxer that never gets there.
    int idleAtEnd = 0;
    for (int idle = 0; idle < 1000000 && idleAtEnd < 64; ++idle) {
        const int32_t n = demuxer.ReadFrame(buffer.data(), capacity);
        if (n >= 0) {
            frames.emplace_back(buffer.begin(), buffer.begin() + n);
            idle = 0;
            idleAtEnd = 0;
        } else if (stream.Position() >= static_cast<int64_t>(stream.Size()) && stream.FullyArrived()) {
            ++idleAtEnd;
        }
    }
    return frames;
}

std::vector<uint8_t> Joined(const Frames& frames) {
    std::vector<uint8_t> all;
    for (const auto& frame : frames) {
        all.insert(all.end(), frame.begin(), frame.end());
    }
    return all;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace asftest
