// Drives the whole plug-in interface the way a host could, on any bytes,
// and checks what a host relies on. Built for libFuzzer, and without it as
// a replay of the committed corpus.

#include "fuzz/FuzzDemuxer.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "plugin/IDemuxerPlugin.h"
#include "plugin/vqGetPlugin.h"
#include "tests/support/MemoryStream.h"

namespace {

constexpr int kMaxReadFrameCalls = 400;
constexpr size_t kFrameBufferSize = 1u << 20;  // the largest packet Open accepts

constexpr double kRequests[] = {
    -1.0,
    0.0,
    0.001,
    0.1,
    0.5,
    1.0,
    2.5,
    10.0,
    3600.0,
    1e9,
    1e300,
    -1e300,
    DBL_MAX,
    -DBL_MAX,
    DBL_MIN,
    DBL_TRUE_MIN,
    9.3e15,
    9.3e18,
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::quiet_NaN(),
    -0.0,
};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool RecordIsZero(const MediaInfo& info) {
    return info.codecKind == 0 && info.duration == 0.0 && info.bitrate == 0 && info.sampleRate == 0 &&
           info.avgBytesPerSec == 0 && info.channels == 0 && info.bitsPerSample == 0 && info.blockAlign == 0 &&
           info.extraSize == 0 && info.extraData == nullptr && info.formatTag == 0;
}

void Play(IDemuxer& demuxer, const uint8_t* control, const std::vector<uint8_t>& file) {
    const bool streaming = (control[0] & 1) != 0;
    asftest::MemoryStream stream(
        file, streaming ? asftest::MemoryStream::Mode::Streaming : asftest::MemoryStream::Mode::Seekable);
    stream.SetRecording(false);
    const size_t chunk = 1 + static_cast<size_t>(control[1]) * 7;
    if (streaming) {
        stream.SetArrived(file.size() * control[2] / 255);
    }
    int32_t capacity = 0;
    switch ((control[0] >> 1) & 3) {
        case 1: capacity = 1 + (control[1] & 7); break;
        case 2: capacity = 1 + control[1] * 16; break;
        case 3: capacity = 1 << 16; break;
        default: break;
    }

    if (!demuxer.Open(&stream)) {
        Check(demuxer.GetMediaInfo()->codecKind == 0, "codecKind 0 after a failed Open");
        return;
    }
    const MediaInfo* info = demuxer.GetMediaInfo();
    Check(info->channels <= 2, "at most 2 channels after Open");
    Check(info->extraSize == 0 || info->extraData != nullptr, "extra data present");
    for (uint32_t i = 0; i < info->extraSize; ++i) {
        (void)*(volatile const uint8_t*)&info->extraData[i];  // every byte readable
    }

    // A buffer of exactly the capacity, so a write past it is caught.
    static std::vector<uint8_t> large(kFrameBufferSize);
    std::unique_ptr<uint8_t[]> exact(capacity > 0 ? new uint8_t[static_cast<size_t>(capacity)] : nullptr);
    uint8_t* buffer = capacity > 0 ? exact.get() : large.data();
    for (int call = 0; call < kMaxReadFrameCalls; ++call) {
        for (int k = 0; k < 3; ++k) {
            if (call == (control[6 + (k & 1)] % kMaxReadFrameCalls) + k) {
                double seconds = kRequests[control[3 + k] % (sizeof kRequests / sizeof kRequests[0])];
                const double before = seconds;
                demuxer.Seek(&seconds);
                Check(!std::isnan(before) || std::isnan(seconds), "a NaN request changes nothing");
            }
        }
        if (streaming) {
            stream.Arrive(chunk);
        }
        const int32_t n = demuxer.ReadFrame(buffer, capacity);
        Check(n >= -1, "ReadFrame gives a length or -1");
        Check(capacity <= 0 || n <= capacity, "no frame longer than the capacity");
        Check(n <= static_cast<int32_t>(kFrameBufferSize), "no frame longer than a packet");
    }
    demuxer.Close();
    Check(RecordIsZero(*demuxer.GetMediaInfo()), "the record is zero after Close");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kControlBytes) {
        return 0;
    }
    const std::vector<uint8_t> file(data + kControlBytes, data + size);
    IPlugin* plugin = vqGetPlugin();
    Check(plugin->GetPluginType() == IPlugin::kDemuxerPlugin, "a demuxer plug-in");
    auto* demuxers = static_cast<IDemuxerPlugin*>(plugin);
    IDemuxer* demuxer = demuxers->CreateDemuxer();
    plugin->Release();

    Play(*demuxer, data, file);
    // A second Open on the same demuxer, seekable this time, then Release
    // with the file still open.
    uint8_t control[kControlBytes];
    std::memcpy(control, data, kControlBytes);
    control[0] &= ~1u;
    asftest::MemoryStream again(file);
    again.SetRecording(false);
    if (demuxer->Open(&again)) {
        uint8_t frame[1 << 10];
        for (int i = 0; i < 8; ++i) {
            (void)demuxer->ReadFrame(frame, sizeof frame);
        }
    }
    demuxer->Release();
    return 0;
}
