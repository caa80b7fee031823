// Writes the fuzz seed corpus: the samples and generated files of every
// packet layout and every class of bad input, each behind a few control
// prefixes (seekable and streaming delivery, capacities, seeks).
//   make_fuzz_seeds SAMPLES_DIR OUT_DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/FuzzDemuxer.h"
#include "tests/support/HostileFiles.h"

namespace {

using asftest::Bytes;

void Write(const std::filesystem::path& dir, const std::string& name, const Bytes& file) {
    const uint8_t prefixes[][kControlBytes] = {
        {0x00, 0, 0, 1, 2, 3, 10, 20},    // seekable, no capacity
        {0x05, 3, 40, 0, 5, 20, 3, 50},   // streaming, small chunks, capacity from byte 1
        {0x07, 90, 0, 21, 9, 1, 30, 60},  // streaming from nothing, large capacity
    };
    int variant = 0;
    for (const auto& prefix : prefixes) {
        std::ofstream out(dir / (name + "-" + std::to_string(variant++)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(prefix), kControlBytes);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds SAMPLES_DIR OUT_DIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[2];
    std::filesystem::create_directories(out);
    for (const char* sample : {"wma2-stereo.wma", "mp3-mono.wma", "video-audio.wmv", "gst-wma2.wma"}) {
        std::ifstream in(std::filesystem::path(argv[1]) / sample, std::ios::binary);
        Write(out, std::string("sample-") + sample, Bytes(std::istreambuf_iterator<char>(in), {}));
    }
    for (const auto& [name, file] : asftest::LayoutFiles()) {
        Write(out, "layout-" + name, file);
    }
    for (const asftest::HostileFile& hostile : asftest::HostileFiles()) {
        Write(out, "hostile-" + hostile.name, hostile.bytes);
    }
    return 0;
}
