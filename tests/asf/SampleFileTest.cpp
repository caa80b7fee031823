// Files made by an independent muxer (samples/make-samples.sh): the frames,
// joined, are the audio stream that muxer's own demuxer extracts.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

#include "tests/support/AsfWriter.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/Sha256.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

std::map<std::string, std::string> ReadExpected(const std::string& path) {
    std::map<std::string, std::string> facts;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) {
            facts[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return facts;
}

class SampleFileTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SampleFileTest, FramesJoinedAreTheExtractedAudioStream) {
    const std::string path = std::string(VQ_SAMPLES_DIR) + "/" + GetParam();
    const Bytes file = ReadFile(path);
    ASSERT_FALSE(file.empty()) << path;
    auto expected = ReadExpected(path + ".expected");
    ASSERT_FALSE(expected["audio_sha256"].empty());

    MemoryStream seekable(file);
    seekable.SetRecording(false);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&seekable));
    const MediaInfo info = *demuxer->GetMediaInfo();
    EXPECT_GT(info.duration, 0.0);
    EXPECT_EQ(std::to_string(info.formatTag), expected["format_tag"]);
    EXPECT_EQ(std::to_string(info.channels), expected["channels"]);
    EXPECT_EQ(std::to_string(info.sampleRate), expected["sample_rate"]);
    std::string extraHex;
    for (uint32_t i = 0; i < info.extraSize; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", info.extraData[i]);
        extraHex += digits;
    }
    EXPECT_EQ(extraHex, expected["extra_data"]);
    const Bytes audio = Joined(ReadAllFrames(*demuxer, seekable));
    EXPECT_EQ(std::to_string(audio.size()), expected["audio_bytes"]);
    EXPECT_EQ(Sha256Hex(audio), expected["audio_sha256"]);

    // The same bytes from a streaming source that gets the file in parts.
    MemoryStream streaming(file, MemoryStream::Mode::Streaming);
    streaming.SetRecording(false);
    streaming.SetArrived(4096);
    streaming.SetArrivePerRead(997);
    ASSERT_TRUE(demuxer->Open(&streaming));
    EXPECT_EQ(Joined(ReadAllFrames(*demuxer, streaming)), audio);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleFileTest,
                         ::testing::Values("wma2-stereo.wma", "mp3-mono.wma", "video-audio.wmv", "gst-wma2.wma"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

TEST(SampleFileTest, FileWithVideoAndATrailingIndexHasItsFullDuration) {
    const Bytes file = ReadFile(std::string(VQ_SAMPLES_DIR) + "/video-audio.wmv");
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    EXPECT_NEAR(demuxer->GetMediaInfo()->duration, 6.0, 0.2);
}

}  // namespace
