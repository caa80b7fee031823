#pragma once

#include <memory>
#include <string>
#include <vector>

#include "demuxer/IDemuxer.h"
#include "tests/support/MemoryStream.h"

namespace asftest {

struct ReleaseDeleter {
    template <typename T>
    void operator()(T* object) const {
        if (object != nullptr) {
            object->Release();
        }
    }
};

using DemuxerPtr = std::unique_ptr<IDemuxer, ReleaseDeleter>;

// A new ASF demuxer, released when the pointer goes.
DemuxerPtr NewAsfDemuxer();

using Frames = std::vector<std::vector<uint8_t>>;

// Calls ReadFrame until it delivers nothing while `stream` stands at the end
// of its data (everything arrived), and returns the frames in order.
Frames ReadAllFrames(IDemuxer& demuxer, MemoryStream& stream, int32_t capacity = 0);

// The frames, joined: the elementary stream.
std::vector<uint8_t> Joined(const Frames& frames);

// A whole file's bytes (empty when it cannot be read).
std::vector<uint8_t> ReadFile(const std::string& path);

}  // namespace asftest
