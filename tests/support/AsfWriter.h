#pragma once

// Test-side ASF writer: builds header objects, stream and file properties,
// the Data Object's fixed part, data packets of every layout and trailing
// index objects, byte by byte, so each test states exactly what it feeds in.

#include <cstdint>
#include <optional>
#include <vector>

#include "asf/AsfGuids.h"

namespace asftest {

using Bytes = std::vector<uint8_t>;

// 00000000-0000-0000-0000-000000000000 with a recognisable first byte.
inline constexpr AsfGuid kFileIdGuid = {0x11, 0x22, 0x33, 0x44, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// F8699E40-5B4D-11CF-A8FD-00805F5C442B (ASF_Audio_Media)
inline constexpr AsfGuid kAudioMediaGuid = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                                            0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
// BC19EFC0-5B4D-11CF-A8FD-00805F5C442B (ASF_Video_Media)
inline constexpr AsfGuid kVideoMediaGuid = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                                            0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
// 20FB5700-5B55-11CF-A8FD-00805F5C442B (ASF_No_Error_Correction)
inline constexpr AsfGuid kNoErrorCorrectionGuid = {0x00, 0x57, 0xFB, 0x20, 0x55, 0x5B, 0xCF, 0x11,
                                                   0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
// 33000890-E5B1-11CF-89F4-00A0C90349CB (ASF_Simple_Index_Object)
inline constexpr AsfGuid kSimpleIndexGuid = {0x90, 0x08, 0x00, 0x33, 0xB1, 0xE5, 0xCF, 0x11,
                                             0x89, 0xF4, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0xCB};

class ByteWriter {
public:
    ByteWriter& U8(uint32_t v);
    ByteWriter& U16(uint32_t v);
    ByteWriter& U32(uint32_t v);
    ByteWriter& U64(uint64_t v);
    ByteWriter& Append(const Bytes& bytes);
    ByteWriter& Guid(const AsfGuid& guid);
    ByteWriter& Zeros(size_t count);
    // A field whose size the 2-bit length type code gives (0: nothing).
    ByteWriter& Field(uint32_t lengthType, uint32_t value);
    Bytes& bytes() { return m_bytes; }

private:
    Bytes m_bytes;
};

// The 10 codec-specific bytes of a WMA v2 stream.
Bytes WmaV2CodecData();

struct WaveFormatSpec {
    uint16_t formatTag = 0x0161;  // WMA v2
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t avgBytesPerSec = 16000;
    uint16_t blockAlign = 2973;
    uint16_t bitsPerSample = 16;
    Bytes codecData = WmaV2CodecData();
    std::optional<uint16_t> cbSize;  // default: codecData.size()
};

// WAVEFORMATEX followed by the codec data.
Bytes WaveFormatBytes(const WaveFormatSpec& format);

// A Stream Properties Object. `typeSpecificLength` overrides the declared
// Type-Specific Data Length.
Bytes StreamPropertiesObject(const AsfGuid& streamType, uint16_t flags, const Bytes& typeSpecific,
                             std::optional<uint32_t> typeSpecificLength = {});
Bytes AudioStreamObject(uint16_t flags, const WaveFormatSpec& format = {});
Bytes VideoStreamObject(uint16_t flags);

struct FilePropsSpec {
    uint64_t dataPackets = 0;
    uint64_t playDuration = 0;
    uint64_t sendDuration = 0;  // 100-nanosecond units
    uint64_t preroll = 0;       // milliseconds
    uint32_t packetSize = 256;
    uint32_t maxBitrate = 128000;
};

Bytes FilePropertiesObject(const FilePropsSpec& props);

// A Header Object holding `objects`; `objectSize` overrides Object Size.
Bytes HeaderObject(const std::vector<Bytes>& objects, std::optional<uint64_t> objectSize = {});

// The Data Object's fixed part (50 bytes). `packetBytes` sets Object Size.
Bytes DataObjectHeader(uint64_t totalPackets, uint64_t packetBytes = 0);

Bytes SimpleIndexObject(uint32_t entries);

// 8 bytes of replicated data: media object size, presentation time (ms).
Bytes Replicated(uint32_t objectSize, uint32_t presentationTimeMs);

// The data of a compressed payload: each sub-payload behind its length byte.
Bytes SubPayloads(const std::vector<Bytes>& frames);

struct PayloadSpec {
    uint8_t stream = 1;
    bool keyFrame = true;
    uint32_t mediaObject = 0;
    uint32_t offset = 0;
    Bytes replicated;  // one byte: compressed payload
    Bytes data;
    std::optional<uint32_t> replicatedLength;  // default: replicated.size()
    std::optional<uint32_t> payloadLength;     // default: data.size()
};

struct PacketSpec {
    uint32_t size = 256;
    int errorCorrection = 2;       // bytes of error correction data; -1: none
    std::optional<bool> multiple;  // default: more than one payload
    uint8_t packetLengthType = 0;
    uint8_t sequenceType = 0;
    uint8_t paddingType = 2;
    uint8_t propertyFlags = 0x5D;  // 1-byte R, 4-byte offset, 1-byte object number
    uint8_t payloadLengthType = 2;
    std::optional<uint8_t> payloadCount;   // default: payloads.size()
    std::optional<uint32_t> packetLength;  // default: size
    std::optional<uint32_t> padding;       // default: what fills the packet
    uint32_t sendTime = 0;
    uint16_t duration = 0;
    std::vector<PayloadSpec> payloads;
};

// A data packet of exactly layout.size bytes (padded with zeros; cut when
// its contents are longer).
Bytes Packet(const PacketSpec& layout);

struct FileSpec {
    std::optional<WaveFormatSpec> audio = WaveFormatSpec{};  // none: no audio stream
    uint16_t audioFlags = 1;
    FilePropsSpec props;
    std::vector<Bytes> headerObjectsBefore;  // placed before the stream objects
    std::vector<Bytes> packets;
    Bytes trailer;                         // bytes after the last packet
    std::optional<uint64_t> totalPackets;  // default: packets.size()
};

// A whole file: Header Object (File Properties, optional extras, the audio
// stream), Data Object header, packets, trailer.
Bytes AsfFile(const FileSpec& layout);

// Offset of the first data packet in a file made by AsfFile.
size_t DataStart(const Bytes& file);

// A simple audio-only file: `count` packets of `packetSize` bytes, each with
// one payload of stream 1 carrying `frameSize` bytes of a pattern that
// identifies the packet, presentation time 100 ms per packet from preroll.
Bytes SimpleAudioFile(uint32_t count, uint32_t packetSize = 256, uint32_t frameSize = 100, uint64_t preroll = 0);

}  // namespace asftest
