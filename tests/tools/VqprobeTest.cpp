// vqprobe end to end: the built tool, loading the built module, on the
// samples and on generated files.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/support/AsfWriter.h"
#include "tests/support/Sha256.h"

namespace {

using namespace asftest;
namespace fs = std::filesystem;

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class VqprobeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("vqprobe-test-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    RunResult Run(const std::string& arguments) {
        const fs::path out = m_dir / "stdout";
        const fs::path err = m_dir / "stderr";
        const std::string command = std::string(VQPROBE) + " " + arguments + " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
    }

    nlohmann::json Json(const std::string& arguments) {
        const RunResult r = Run("--json " + arguments);
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::json::parse(r.out);
    }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    // The frames, joined, that `arguments` extracts.
    std::string Extract(const std::string& arguments) {
        const fs::path out = m_dir / "extracted";
        const RunResult r = Run("--extract " + out.string() + " " + arguments);
        EXPECT_EQ(r.status, 0) << r.err;
        return Slurp(out);
    }

    fs::path m_dir;
};

std::string Sample(const std::string& name) { return std::string(VQ_SAMPLES_DIR) + "/" + name; }

std::map<std::string, std::string> Expected(const std::string& name) {
    std::map<std::string, std::string> facts;
    std::ifstream in(Sample(name) + ".expected");
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        facts[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return facts;
}

std::string Sha(const std::string& bytes) { return Sha256Hex(Bytes(bytes.begin(), bytes.end())); }

const char* const kSamples[] = {"wma2-stereo.wma", "mp3-mono.wma", "video-audio.wmv", "gst-wma2.wma"};

TEST_F(VqprobeTest, SamplesReportWhatFfmpegReadsAndExtractItsAudioStream) {
    for (const char* name : kSamples) {
        auto facts = Expected(name);
        const nlohmann::json j = Json(Sample(name));
        EXPECT_EQ(j["plugin"]["type"], 2);
        EXPECT_TRUE(j["opened"].get<bool>());
        EXPECT_EQ(std::to_string(j["media"]["formatTag"].get<int>()), facts["format_tag"]) << name;
        EXPECT_EQ(std::to_string(j["media"]["channels"].get<int>()), facts["channels"]) << name;
        EXPECT_EQ(std::to_string(j["media"]["sampleRate"].get<int>()), facts["sample_rate"]) << name;
        EXPECT_EQ(j["media"]["extraData"], facts["extra_data"]) << name;
        EXPECT_EQ(std::to_string(j["frames"]["bytes"].get<uint64_t>()), facts["audio_bytes"]) << name;
        EXPECT_EQ(Sha(Extract(Sample(name))), facts["audio_sha256"]) << name;
    }
}

TEST_F(VqprobeTest, StreamingInAnyChunkSizeGivesTheSameBytes) {
    for (const char* name : kSamples) {
        const std::string expected = Expected(name)["audio_sha256"];
        for (int chunk : {1, 97, 4096, 1 << 20}) {
            EXPECT_EQ(Sha(Extract("--streaming " + std::to_string(chunk) + " " + Sample(name))), expected)
                << name << " in chunks of " << chunk;
        }
    }
}

TEST_F(VqprobeTest, ASeekLandsOnAPacketBoundary) {
    for (const char* name : kSamples) {
        const std::string full = Extract(Sample(name));
        for (const char* seconds : {"0", "0.5", "1.7", "2.5", "-1"}) {
            const std::string after = Extract("--seek " + std::string(seconds) + " " + Sample(name));
            ASSERT_LE(after.size(), full.size()) << name << " at " << seconds;
            EXPECT_EQ(full.substr(full.size() - after.size()), after) << name << " at " << seconds;
            EXPECT_FALSE(after.empty()) << name << " at " << seconds;
        }
        const nlohmann::json j = Json("--seek 1.0 " + Sample(name));
        EXPECT_EQ(j["seek"]["requested"], 1.0);
        EXPECT_GT(j["seek"]["reported"].get<double>(), 1.0) << name;
        const nlohmann::json start = Json("--seek 0 " + Sample(name));
        EXPECT_EQ(start["seek"]["reported"], 0.0);
        EXPECT_EQ(start["frames"], Json(Sample(name))["frames"]) << name;
    }
}

TEST_F(VqprobeTest, FramesListAndTextReport) {
    const nlohmann::json j = Json("--frames " + Sample("mp3-mono.wma"));
    const auto& list = j["frames"]["list"];
    ASSERT_EQ(list.size(), j["frames"]["count"].get<size_t>());
    uint64_t bytes = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i]["index"], i);
        bytes += list[i]["length"].get<uint64_t>();
        EXPECT_EQ(list[i]["crc32"].get<std::string>().size(), 8u);
    }
    EXPECT_EQ(bytes, j["frames"]["bytes"]);

    const RunResult text = Run(Sample("wma2-stereo.wma"));
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"(kind 2, demuxer)", "Windows Media Audio v2 (format tag 0x0161, codec kind 5)",
                             "channels:         2", "sample rate:      44100 Hz", "duration:         0:00:04.",
                             "codec extra data: 10 bytes: 00 00 00 00 01 00 00 00 00 00", "(40068 bytes)"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    // With the stream on standard output the report goes to standard error.
    const RunResult piped = Run("--extract - " + Sample("mp3-mono.wma"));
    EXPECT_EQ(Sha(piped.out), Expected("mp3-mono.wma")["audio_sha256"]);
    EXPECT_NE(piped.err.find("frames:"), std::string::npos);
}

TEST_F(VqprobeTest, CapacityDropsLongerFrames) {
    // Sub-payloads of 10 and 20 bytes, then a plain payload of 300 bytes,
    // which a capacity of 100 drops.
    FileSpec layout;
    layout.props.packetSize = 1024;
    PacketSpec packet;
    packet.size = 1024;
    packet.payloads = {{.replicated = {0x01}, .data = SubPayloads({Bytes(10, 1), Bytes(20, 2)})},
                       {.replicated = Replicated(300, 0), .data = Bytes(300, 3)}};
    layout.packets = {Packet(packet)};
    const std::string file = Write("capacity.wma", AsfFile(layout));
    EXPECT_EQ(Json(file)["frames"]["count"], 3);
    const nlohmann::json capped = Json("--capacity 100 " + file);
    EXPECT_EQ(capped["frames"]["count"], 2);
    EXPECT_EQ(capped["frames"]["bytes"], 30);
}

TEST_F(VqprobeTest, ExitStatusesAndMessages) {
    const std::string notAsf = Write("notes.wma", Bytes(200, 'x'));
    const std::string otherExtension = Write("clip.asf", SimpleAudioFile(3));
    const std::string notAModule = Write("fake.so", Bytes(64, 0));

    struct Case {
        std::string arguments;
        int status;
        std::string message;  // expected on standard error
    };
    const Case cases[] = {
        {Sample("wma2-stereo.wma"), 0, ""},
        {otherExtension, 0, "does not claim the extension"},
        {notAsf, 1, notAsf + ": not an ASF file, or it has no playable audio stream"},
        {"", 2, "FILE is required"},
        {"--bogus " + notAsf, 2, "Usage:"},
        {"--capacity 0 " + notAsf, 2, "Usage:"},
        {"--streaming x " + notAsf, 2, "Usage:"},
        {(m_dir / "missing.wma").string(), 3, "No such file or directory"},
        {m_dir.string(), 3, "Is a directory"},
        {"--plugin " + (m_dir / "none.so").string() + " " + notAsf, 3, "cannot load the plug-in"},
        {"--plugin " + notAModule + " " + notAsf, 3, "cannot load the plug-in"},
        {"--extract " + (m_dir / "no/such/dir").string() + " " + notAsf, 3, "No such file or directory"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.err;
        if (!c.message.empty()) {
            EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << "\n" << r.err;
        }
    }
    // With --json a file that does not open is still described.
    const RunResult r = Run("--json " + notAsf);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(nlohmann::json::parse(r.out)["opened"].get<bool>());
}

}  // namespace
