// vqprobe: the reference host. It loads the demuxer plug-in module at run
// time, exactly as a player does, and reports what the module makes of a
// file: the media description, the frames, a seek.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "demuxer/IByteStream.h"
#include "demuxer/IDemuxer.h"
#include "demuxer/MediaInfo.h"
#include "plugin/IDemuxerPlugin.h"
#include "plugin/IPlugin.h"
#include "tools/vqprobe/CFileByteStream.h"
#include "tools/vqprobe/CFrameSink.h"
#include "tools/vqprobe/CPluginModule.h"
#include "tools/vqprobe/CProgress.h"
#include "tools/vqprobe/Report.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNotOpened = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnreadable = 3;

// Default frame buffer: no frame is longer than the file, and none above
// this is plausible.
constexpr size_t kMaxDefaultBuffer = 64u << 20;
constexpr size_t kProgressThreshold = 64u << 20;

struct Options {
    std::string plugin;
    bool json = false;
    bool frames = false;
    std::string extract;
    std::optional<double> seek;
    std::optional<size_t> streaming;
    std::optional<int32_t> capacity;
    std::string file;
};

struct FrameRecord {
    uint64_t index;
    int32_t length;
    uint32_t crc;
};

struct Result {
    bool opened = false;
    MediaInfo media{};
    std::vector<uint8_t> extra;
    std::optional<double> seekReported;
    uint64_t frameCount = 0;
    uint64_t frameBytes = 0;
    std::vector<FrameRecord> frames;
};

[[noreturn]] void Fail(int status, const std::string& message) {
    std::fflush(stdout);
    std::cerr << "vqprobe: " << message << "\n";
    std::exit(status);
}

std::u16string ExtensionOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    std::u16string extension;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        for (char c : path.substr(dot + 1)) {
            extension += static_cast<char16_t>(static_cast<unsigned char>(c));
        }
    }
    return extension;
}

// Where the first data packet starts: after the Header Object (its size is
// the 64-bit little-endian field at byte 16) and the Data Object's 50-byte
// fixed part. A player buffers that much before it opens a stream.
size_t HeaderBytes(CFileByteStream& file) {
    uint8_t field[8] = {};
    if (file.ReadAt(16, field, sizeof field) != sizeof field) {
        return file.Size();
    }
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i) {
        size = size << 8 | field[i];
    }
    return file.Size() < 50 || size > file.Size() - 50 ? file.Size() : static_cast<size_t>(size + 50);
}

// Reads every frame from where the stream stands to the end of the data.
void ReadFrames(IDemuxer& demuxer, CFileByteStream& file, const Options& options, CFrameSink& sink, Result& result) {
    const auto capacity = static_cast<int32_t>(sink.Room());
    CProgress progress(file, isatty(STDERR_FILENO) == 1 && file.Size() > kProgressThreshold);

    // -1 only says that one call gave no frame. The data has ended when the
    // stream is at its end with everything arrived. Frames dropped for the
    // capacity also give -1, so with a capacity the end is confirmed by a
    // long run of -1 there; without one, by the next call.
    const uint32_t confirmations = options.capacity ? (1u << 20) : 2u;
    uint32_t atEnd = 0;
    uint32_t stalled = 0;
    int64_t lastPosition = -1;
    while (atEnd < confirmations) {
        uint8_t* frame = sink.Tail();
        const int32_t n = demuxer.ReadFrame(frame, capacity);
        progress.Update();
        if (n >= 0) {
            atEnd = 0;
            stalled = 0;
            const uint64_t index = result.frameCount++;
            result.frameBytes += static_cast<uint64_t>(n);
            if (options.frames) {
                result.frames.push_back({index, n, Crc32(frame, static_cast<size_t>(n))});
            }
            sink.Commit(static_cast<size_t>(n));
            continue;
        }
        const int64_t position = file.Tell();
        if (!file.IsStreaming() && position >= static_cast<int64_t>(file.Size())) {
            ++atEnd;
        } else if (position == lastPosition && ++stalled > (1u << 20)) {
            break;  // the stream no longer moves: nothing more will come
        }
        lastPosition = position;
    }
    progress.Finish();
}

nlohmann::ordered_json ToJson(const Options& options, const Result& r, int32_t pluginType) {
    nlohmann::ordered_json j;
    j["plugin"] = {{"type", pluginType}};
    j["file"] = options.file;
    j["opened"] = r.opened;
    if (!r.opened) {
        return j;
    }
    const MediaInfo& m = r.media;
    j["media"] = {{"codecKind", m.codecKind},
                  {"formatTag", m.formatTag},
                  {"codecName", CodecName(m.formatTag)},
                  {"channels", m.channels},
                  {"sampleRate", m.sampleRate},
                  {"avgBytesPerSec", m.avgBytesPerSec},
                  {"blockAlign", m.blockAlign},
                  {"bitsPerSample", m.bitsPerSample},
                  {"bitrate", m.bitrate},
                  {"duration", m.duration},
                  {"extraSize", m.extraSize},
                  {"extraData", Hex(r.extra.data(), r.extra.size())}};
    if (options.seek) {
        j["seek"] = {{"requested", *options.seek}, {"reported", *r.seekReported}};
    }
    j["frames"] = {{"count", r.frameCount}, {"bytes", r.frameBytes}};
    if (options.frames) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        char crc[9];
        for (const FrameRecord& f : r.frames) {
            std::snprintf(crc, sizeof crc, "%08x", f.crc);
            list.push_back({{"index", f.index}, {"length", f.length}, {"crc32", crc}});
        }
        j["frames"]["list"] = std::move(list);
    }
    return j;
}

void PrintText(std::FILE* out, const Options& options, const Result& r, int32_t pluginType,
               const std::string& pluginPath) {
    std::fprintf(out, "plug-in:          %s (kind %d%s)\n", pluginPath.c_str(), pluginType,
                 pluginType == IPlugin::kDemuxerPlugin ? ", demuxer" : "");
    std::fprintf(out, "file:             %s\n", options.file.c_str());
    const MediaInfo& m = r.media;
    std::fprintf(out, "codec:            %s (format tag 0x%04x, codec kind %d)\n", CodecName(m.formatTag).c_str(),
                 m.formatTag, m.codecKind);
    std::fprintf(out, "channels:         %u\n", m.channels);
    std::fprintf(out, "sample rate:      %u Hz\n", m.sampleRate);
    std::fprintf(out, "byte rate:        %u B/s\n", m.avgBytesPerSec);
    std::fprintf(out, "block alignment:  %u B\n", m.blockAlign);
    std::fprintf(out, "bits per sample:  %u\n", m.bitsPerSample);
    std::fprintf(out, "bit rate:         %u kb/s\n", m.bitrate);
    std::fprintf(out, "duration:         %s\n", FormatDuration(m.duration).c_str());
    std::fprintf(out, "codec extra data: %u bytes%s%s\n", m.extraSize, r.extra.empty() ? "" : ": ",
                 Hex(r.extra.data(), r.extra.size(), ' ').c_str());
    if (options.seek) {
        std::fprintf(out, "seek:             requested %.3f s, now at %.3f s\n", *options.seek, *r.seekReported);
    }
    std::fprintf(out, "frames:           %llu (%llu bytes)\n", static_cast<unsigned long long>(r.frameCount),
                 static_cast<unsigned long long>(r.frameBytes));
    for (const FrameRecord& f : r.frames) {
        std::fprintf(out, "frame %8llu  %7d bytes  crc32 %08x\n", static_cast<unsigned long long>(f.index), f.length,
                     f.crc);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{"Loads the ASF demuxer plug-in as a player does and reports what it makes of FILE.", "vqprobe"};
    app.add_option("--plugin", options.plugin, "The plug-in module to load (default: vq_asf.so beside vqprobe)");
    app.add_flag("--json", options.json, "Report as one JSON object");
    app.add_flag("--frames", options.frames, "List every frame: index, length, CRC-32");
    app.add_option("--extract", options.extract, "Write the frames, joined, to OUT ('-': standard output)")
        ->type_name("OUT");
    app.add_option("--seek", options.seek, "Seek once after opening; frames are counted from there")
        ->type_name("SECONDS");
    app.add_option("--streaming", options.streaming,
                   "Present FILE as a streaming source delivering CHUNK bytes per read")
        ->type_name("CHUNK")
        ->check(CLI::Range(size_t{1}, size_t{1} << 30));
    app.add_option("--capacity", options.capacity, "Buffer size passed to ReadFrame (default: room for any frame)")
        ->type_name("BYTES")
        ->check(CLI::Range(1, INT32_MAX));
    app.add_option("FILE", options.file, "The ASF file (.wma, .wmv)")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "vqprobe: " << e.what() << "\n\n" << app.help();
        return kExitUsage;
    }

    const std::string pluginPath = options.plugin.empty() ? CPluginModule::DefaultPath() : options.plugin;
    CPluginModule module;
    std::string error;
    if (!module.Load(pluginPath, error)) {
        Fail(kExitUnreadable, "cannot load the plug-in: " + error);
    }
    IPlugin* plugin = module.CreatePlugin();
    const int32_t pluginType = plugin->GetPluginType();
    if (pluginType != IPlugin::kDemuxerPlugin) {
        plugin->Release();
        Fail(kExitUnreadable, pluginPath + ": not a demuxer plug-in (kind " + std::to_string(pluginType) + ")");
    }
    auto* demuxerPlugin = static_cast<IDemuxerPlugin*>(plugin);
    const std::u16string extension = ExtensionOf(options.file);
    if (!demuxerPlugin->SupportsExtension(extension.c_str())) {
        std::cerr << "vqprobe: warning: the plug-in does not claim the extension of " << options.file
                  << "; trying it anyway\n";
    }

    CFileByteStream file;
    if (!file.OpenFile(options.file, error)) {
        plugin->Release();
        Fail(kExitUnreadable, options.file + ": " + error);
    }
    if (options.streaming) {
        file.SetStreaming(HeaderBytes(file), *options.streaming);
    }
    // Room for any frame: none is longer than the file.
    CFrameSink sink(options.capacity ? static_cast<size_t>(*options.capacity)
                                     : std::max<size_t>(1, std::min(file.Size(), kMaxDefaultBuffer)));
    if (!options.extract.empty() && !sink.OpenOutput(options.extract, error)) {
        plugin->Release();
        Fail(kExitUnreadable, options.extract + ": " + error);
    }
    std::FILE* reportOut = options.extract == "-" ? stderr : stdout;

    IDemuxer* demuxer = demuxerPlugin->CreateDemuxer();
    plugin->Release();  // a demuxer outlives its plug-in

    Result result;
    result.opened = demuxer->Open(&file);
    if (result.opened) {
        result.media = *demuxer->GetMediaInfo();
        if (result.media.extraData != nullptr) {
            result.extra.assign(result.media.extraData, result.media.extraData + result.media.extraSize);
        }
        if (options.seek) {
            double seconds = *options.seek;
            demuxer->Seek(&seconds);
            result.seekReported = seconds;
        }
        ReadFrames(*demuxer, file, options, sink, result);
    }
    demuxer->Release();

    if (!sink.Finish(error)) {
        Fail(kExitUnreadable, options.extract + ": " + error);
    }
    if (options.json) {
        const std::string text = ToJson(options, result, pluginType).dump() + "\n";
        std::fputs(text.c_str(), reportOut);
    } else if (result.opened) {
        PrintText(reportOut, options, result, pluginType, pluginPath);
    }
    if (!result.opened) {
        Fail(kExitNotOpened, options.file + ": not an ASF file, or it has no playable audio stream");
    }
    return kExitOk;
}
