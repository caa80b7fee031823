// The Header Object and the Data Object's fixed part, as Open reads them.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/AsfWriter.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// One packet with one payload of `stream`, so tests can see which stream
// the demuxer selected.
Bytes PacketOfStream(uint8_t stream, uint8_t fill, uint32_t size = 256) {
    PacketSpec layout;
    layout.size = size;
    PayloadSpec payload;
    payload.stream = stream;
    payload.replicated = Replicated(4, 0);
    payload.data.assign(10, fill);
    layout.payloads = {payload};
    return Packet(layout);
}

Bytes FileWithHeaderObjects(const std::vector<Bytes>& objects, const std::vector<Bytes>& packets = {}) {
    Bytes file = Concat({HeaderObject(objects), DataObjectHeader(packets.size())});
    for (const Bytes& p : packets) {
        file.insert(file.end(), p.begin(), p.end());
    }
    return file;
}

bool OpenBytes(IDemuxer& demuxer, const Bytes& file) {
    MemoryStream stream(file);
    const bool opened = demuxer.Open(&stream);
    demuxer.Close();
    return opened;
}

TEST(HeaderTest, EveryFailureOfTheHeaderReaderFailsOpen) {
    const Bytes good = SimpleAudioFile(2);
    const size_t headerSize = DataStart(good) - 50;
    Bytes wrongGuid = good;
    wrongGuid[3] ^= 0xFF;
    Bytes size29 = good;
    size29[16] = 29;
    std::memset(&size29[17], 0, 7);
    Bytes wraps = good;  // low 32 bits 0x00000010: body length 16 - 30 < 0
    std::memset(&wraps[16], 0, 8);
    wraps[16] = 0x10;
    wraps[20] = 1;
    Bytes otherObject = good;
    otherObject[headerSize] ^= 0xFF;  // not the Data Object GUID

    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"shorter than 30 bytes", Bytes(good.begin(), good.begin() + 29)},
        {"not a Header Object GUID", wrongGuid},
        {"Object Size 29", size29},
        {"Object Size whose low 32 bits are below 30", wraps},
        {"stream ends right after the Header Object",
         Bytes(good.begin(), good.begin() + static_cast<long>(headerSize))},
        {"Data Object GUID cut short", Bytes(good.begin(), good.begin() + static_cast<long>(headerSize) + 10)},
        {"another object instead of the Data Object", otherObject},
        {"empty stream", Bytes{}},
    };
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(OpenBytes(*demuxer, good));
    for (const Case& c : cases) {
        MemoryStream stream(c.file);
        EXPECT_FALSE(demuxer->Open(&stream)) << c.name;
        EXPECT_EQ(demuxer->GetMediaInfo()->codecKind, 0) << c.name;
        uint8_t buffer[16];
        EXPECT_EQ(demuxer->ReadFrame(buffer, sizeof buffer), -1) << c.name;
    }
}

TEST(HeaderTest, ObjectSizeOf30IsAnEmptyHeader) {
    MemoryStream stream(Concat({HeaderObject({}), DataObjectHeader(0)}));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    const MediaInfo* info = demuxer->GetMediaInfo();
    EXPECT_EQ(info->channels, 0u);
    EXPECT_EQ(info->bitrate, 0u);
    EXPECT_EQ(info->duration, 0.0);
    EXPECT_EQ(stream.Position(), 30 + 50);
}

TEST(HeaderTest, HighBitsOfTheObjectSizeAreIgnored) {
    Bytes file = SimpleAudioFile(2);
    file[20] = 0x01;  // Object Size + 2^32
    MemoryStream stream(file);
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    EXPECT_EQ(demuxer->GetMediaInfo()->sampleRate, 44100u);
    EXPECT_EQ(ReadAllFrames(*demuxer, stream).size(), 2u);
}

TEST(HeaderTest, OnlyTheFirstMebibyteOfTheBodyIsReadTheRestIsSkipped) {
    // Body of 1 MiB + 100 bytes: an audio stream at the start, a filler, and
    // the File Properties Object in the last 100 bytes, which is never seen.
    const Bytes audio = AudioStreamObject(1);
    const Bytes props = FilePropertiesObject({.packetSize = 256, .maxBitrate = 64000});
    const size_t body = (1u << 20) + 100;
    Bytes filler(body - audio.size() - props.size(), 0);
    const Bytes header = HeaderObject({audio, filler, props});
    ASSERT_EQ(header.size(), body + 30);
    MemoryStream stream(Concat({header, DataObjectHeader(0)}));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    EXPECT_EQ(demuxer->GetMediaInfo()->channels, 2u);
    EXPECT_EQ(demuxer->GetMediaInfo()->bitrate, 0u);  // File Properties not found
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(header.size() + 50));
    // 30 bytes of the Header Object, then its body up to 1 MiB, then the
    // rest is skipped.
    const auto& calls = stream.Calls();
    const auto skip = std::find(calls.begin(), calls.end(), "Skip 100 1");
    ASSERT_NE(skip, calls.end());
    int64_t asked = 0;
    for (auto call = calls.begin(); call != skip; ++call) {
        if (call->rfind("Read ", 0) == 0) {
            asked += std::stoll(call->substr(5));
        }
    }
    EXPECT_EQ(asked, 30 + (1 << 20));
}

TEST(HeaderTest, StreamSelection) {
    WaveFormatSpec first;
    first.sampleRate = 11025;
    WaveFormatSpec second;
    second.sampleRate = 22050;
    WaveFormatSpec empty;
    empty.channels = 0;
    empty.bitsPerSample = 0;
    empty.sampleRate = 0;
    Bytes oddType = StreamPropertiesObject(kAudioMediaGuid, 3, WaveFormatBytes(second));
    oddType[24 + 15] ^= 0xFF;  // same first group, different tail: still audio
    const Bytes props = FilePropertiesObject({});

    struct Case {
        const char* name;
        std::vector<Bytes> objects;
        uint32_t sampleRate;
        uint8_t deliveredStream;  // 0: no frames
    };
    const Case cases[] = {
        {"two audio streams: the first", {props, AudioStreamObject(1, first), AudioStreamObject(2, second)}, 11025, 1},
        {"a first format of all zeros is replaced",
         {props, AudioStreamObject(1, empty), AudioStreamObject(2, second)},
         22050,
         2},
        {"video before audio", {props, VideoStreamObject(1), AudioStreamObject(2, second)}, 22050, 2},
        {"stream type matched on its first 4 bytes", {props, oddType}, 22050, 3},
        {"encrypted-content bit: no payload matches", {props, AudioStreamObject(0x8001, first)}, 11025, 0},
        {"no audio stream", {props, VideoStreamObject(1)}, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<Bytes> packets;
        for (uint8_t s = 1; s <= 3; ++s) {
            packets.push_back(PacketOfStream(s, s));
        }
        MemoryStream stream(FileWithHeaderObjects(c.objects, packets));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream)) << c.name;
        EXPECT_EQ(demuxer->GetMediaInfo()->sampleRate, c.sampleRate) << c.name;
        const Frames frames = ReadAllFrames(*demuxer, stream);
        if (c.deliveredStream == 0) {
            EXPECT_TRUE(frames.empty()) << c.name;
        } else {
            ASSERT_EQ(frames.size(), 1u) << c.name;
            EXPECT_EQ(frames[0], Bytes(10, c.deliveredStream)) << c.name;
        }
    }
}

TEST(HeaderTest, StreamPropertiesTooCloseToTheEndOfTheBufferArePassedOver) {
    // The audio stream's 28 format bytes would reach past the header buffer:
    // the Stream Properties Object is cut after 54 + 27 body bytes.
    Bytes audio = AudioStreamObject(1);
    audio.resize(24 + 54 + 27);
    for (size_t cut : {size_t{24 + 54}, size_t{24 + 54 + 27}}) {
        Bytes object(audio.begin(), audio.begin() + static_cast<long>(cut));
        MemoryStream stream(FileWithHeaderObjects({FilePropertiesObject({}), object}));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream)) << cut;
        EXPECT_EQ(demuxer->GetMediaInfo()->channels, 0u) << cut;
    }
    // One byte more and it is taken.
    const Bytes full = AudioStreamObject(1);
    const Bytes whole(full.begin(), full.begin() + 24 + 54 + 28);
    MemoryStream stream(FileWithHeaderObjects({FilePropertiesObject({}), whole}));
    auto demuxer = NewAsfDemuxer();
    ASSERT_TRUE(demuxer->Open(&stream));
    EXPECT_EQ(demuxer->GetMediaInfo()->channels, 2u);
}

TEST(HeaderTest, FilePropertiesTheFirstOccurrenceCountsAndMustHold80Bytes) {
    const Bytes first = FilePropertiesObject({.packetSize = 300, .maxBitrate = 32000});
    const Bytes second = FilePropertiesObject({.packetSize = 400, .maxBitrate = 64000});
    {
        MemoryStream stream(FileWithHeaderObjects({first, second, AudioStreamObject(1)}));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        EXPECT_EQ(demuxer->GetMediaInfo()->bitrate, 32u);
    }
    {
        // Cut to 79 body bytes at the end of the header: passed over.
        Bytes cut(first.begin(), first.end() - 1);
        MemoryStream stream(FileWithHeaderObjects({AudioStreamObject(1), cut}));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream));
        EXPECT_EQ(demuxer->GetMediaInfo()->bitrate, 0u);
    }
}

TEST(HeaderTest, CodecDataIsKeptWholeWithinTheTypeSpecificData) {
    struct Case {
        const char* name;
        Bytes codecData;
        std::optional<uint16_t> cbSize;
        std::optional<uint32_t> typeSpecificLength;
        size_t kept;
    };
    Bytes twelve(12);
    for (size_t i = 0; i < twelve.size(); ++i) {
        twelve[i] = static_cast<uint8_t>(0xA0 + i);
    }
    const Case cases[] = {
        {"WMA v2: 10 bytes", Bytes(twelve.begin(), twelve.begin() + 10), {}, {}, 10},
        {"MP3: 12 bytes", twelve, {}, {}, 12},
        {"cbSize beyond the Type-Specific Data", twelve, 40, {}, 12},
        {"Type-Specific Data Length shorter than cbSize", twelve, {}, 18 + 5, 5},
        {"Type-Specific Data Length below 18", twelve, {}, 10, 0},
        {"none", {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        WaveFormatSpec format;
        format.codecData = c.codecData;
        format.cbSize = c.cbSize;
        // Followed by another object, so bytes beyond the stream are there.
        const Bytes audio = StreamPropertiesObject(kAudioMediaGuid, 1, WaveFormatBytes(format), c.typeSpecificLength);
        MemoryStream stream(FileWithHeaderObjects({audio, FilePropertiesObject({})}));
        auto demuxer = NewAsfDemuxer();
        ASSERT_TRUE(demuxer->Open(&stream)) << c.name;
        const MediaInfo* info = demuxer->GetMediaInfo();
        ASSERT_EQ(info->extraSize, c.kept) << c.name;
        ASSERT_NE(info->extraData, nullptr) << c.name;
        EXPECT_EQ(Bytes(info->extraData, info->extraData + info->extraSize),
                  Bytes(c.codecData.begin(), c.codecData.begin() + static_cast<long>(c.kept)))
            << c.name;
    }
}

TEST(HeaderTest, ShortReadsAreSurvived) {
    const Bytes file = SimpleAudioFile(3);
    MemoryStream oneByte(file);
    oneByte.SetMaxRead(1);
    MemoryStream whole(file);
    auto a = NewAsfDemuxer();
    auto b = NewAsfDemuxer();
    ASSERT_TRUE(a->Open(&oneByte));
    ASSERT_TRUE(b->Open(&whole));
    EXPECT_EQ(0, std::memcmp(a->GetMediaInfo(), b->GetMediaInfo(), offsetof(MediaInfo, extraData)));
    EXPECT_EQ(ReadAllFrames(*a, oneByte), ReadAllFrames(*b, whole));
}

}  // namespace
