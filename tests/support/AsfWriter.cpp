#include "tests/support/AsfWriter.h"

#include <algorithm>

namespace asftest {

ByteWriter& ByteWriter::U8(uint32_t v) {
    m_bytes.push_back(static_cast<uint8_t>(v));
    return *this;
}

ByteWriter& ByteWriter::U16(uint32_t v) { return U8(v).U8(v >> 8); }

ByteWriter& ByteWriter::U32(uint32_t v) { return U16(v).U16(v >> 16); }

ByteWriter& ByteWriter::U64(uint64_t v) { return U32(static_cast<uint32_t>(v)).U32(static_cast<uint32_t>(v >> 32)); }

ByteWriter& ByteWriter::Append(const Bytes& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

ByteWriter& ByteWriter::Guid(const AsfGuid& guid) {
    m_bytes.insert(m_bytes.end(), guid.begin(), guid.end());
    return *this;
}

ByteWriter& ByteWriter::Zeros(size_t count) {
    m_bytes.insert(m_bytes.end(), count, 0);
    return *this;
}

ByteWriter& ByteWriter::Field(uint32_t lengthType, uint32_t value) {
    switch (lengthType & 3) {
        case 1: return U8(value);
        case 2: return U16(value);
        case 3: return U32(value);
        default: return *this;
    }
}

Bytes WmaV2CodecData() {
    ByteWriter w;
    w.U32(0x8800).U16(0x000F).U32(0);
    return w.bytes();
}

Bytes WaveFormatBytes(const WaveFormatSpec& f) {
    ByteWriter w;
    w.U16(f.formatTag).U16(f.channels).U32(f.sampleRate).U32(f.avgBytesPerSec).U16(f.blockAlign);
    w.U16(f.bitsPerSample).U16(f.cbSize.value_or(static_cast<uint16_t>(f.codecData.size()))).Append(f.codecData);
    return w.bytes();
}

Bytes StreamPropertiesObject(const AsfGuid& streamType, uint16_t flags, const Bytes& typeSpecific,
                             std::optional<uint32_t> typeSpecificLength) {
    ByteWriter w;
    w.Guid(kStreamPropertiesObjectGuid).U64(24 + 54 + typeSpecific.size());
    w.Guid(streamType).Guid(kNoErrorCorrectionGuid).U64(0);
    w.U32(typeSpecificLength.value_or(static_cast<uint32_t>(typeSpecific.size()))).U32(0);
    w.U16(flags).U32(0).Append(typeSpecific);
    return w.bytes();
}

Bytes AudioStreamObject(uint16_t flags, const WaveFormatSpec& format) {
    return StreamPropertiesObject(kAudioMediaGuid, flags, WaveFormatBytes(format));
}

Bytes VideoStreamObject(uint16_t flags) {
    // Width, height, reserved flags, format data size, then a 40-byte
    // BITMAPINFOHEADER: enough to look like what muxers write.
    ByteWriter w;
    w.U32(320).U32(240).U8(2).U16(40).U32(40).U32(320).U32(240).U16(1).U16(24);
    w.U32(0x33564D57).U32(0).U32(0).U32(0).U32(0).U32(0);
    return StreamPropertiesObject(kVideoMediaGuid, flags, w.bytes());
}

Bytes FilePropertiesObject(const FilePropsSpec& p) {
    ByteWriter w;
    w.Guid(kFilePropertiesObjectGuid).U64(24 + 80);
    w.Guid(kFileIdGuid).U64(0).U64(0).U64(p.dataPackets).U64(p.playDuration).U64(p.sendDuration);
    w.U64(p.preroll).U32(2).U32(p.packetSize).U32(p.packetSize).U32(p.maxBitrate);
    return w.bytes();
}

Bytes HeaderObject(const std::vector<Bytes>& objects, std::optional<uint64_t> objectSize) {
    size_t size = 30;
    for (const Bytes& o : objects) {
        size += o.size();
    }
    ByteWriter w;
    w.Guid(kHeaderObjectGuid).U64(objectSize.value_or(size)).U32(static_cast<uint32_t>(objects.size()));
    w.U8(1).U8(2);
    for (const Bytes& o : objects) {
        w.Append(o);
    }
    return w.bytes();
}

Bytes DataObjectHeader(uint64_t totalPackets, uint64_t packetBytes) {
    ByteWriter w;
    w.Guid(kDataObjectGuid).U64(50 + packetBytes).Guid(kFileIdGuid).U64(totalPackets).U8(1).U8(1);
    return w.bytes();
}

Bytes SimpleIndexObject(uint32_t entries) {
    ByteWriter w;
    w.Guid(kSimpleIndexGuid).U64(56 + 6ull * entries).Guid(kFileIdGuid).U64(10000000).U32(1).U32(entries);
    for (uint32_t i = 0; i < entries; ++i) {
        w.U32(i).U16(1);
    }
    return w.bytes();
}

Bytes Replicated(uint32_t objectSize, uint32_t presentationTimeMs) {
    ByteWriter w;
    w.U32(objectSize).U32(presentationTimeMs);
    return w.bytes();
}

Bytes SubPayloads(const std::vector<Bytes>& frames) {
    ByteWriter w;
    for (const Bytes& f : frames) {
        w.U8(static_cast<uint32_t>(f.size())).Append(f);
    }
    return w.bytes();
}

Bytes Packet(const PacketSpec& s) {
    const bool multiple = s.multiple.value_or(s.payloads.size() > 1);
    ByteWriter payloads;
    for (const PayloadSpec& p : s.payloads) {
        payloads.U8(p.stream | (p.keyFrame ? 0x80 : 0));
        payloads.Field(s.propertyFlags >> 4, p.mediaObject).Field(s.propertyFlags >> 2, p.offset);
        payloads.Field(s.propertyFlags, p.replicatedLength.value_or(static_cast<uint32_t>(p.replicated.size())));
        payloads.Append(p.replicated);
        if (multiple) {
            payloads.Field(s.payloadLengthType, p.payloadLength.value_or(static_cast<uint32_t>(p.data.size())));
        }
        payloads.Append(p.data);
    }

    const uint8_t lengthTypeFlags = static_cast<uint8_t>((multiple ? 1 : 0) | (s.sequenceType << 1) |
                                                         (s.paddingType << 3) | (s.packetLengthType << 5));
    auto header = [&](uint32_t padding) {
        ByteWriter w;
        if (s.errorCorrection >= 0) {
            w.U8(0x80 | static_cast<uint32_t>(s.errorCorrection)).Zeros(static_cast<size_t>(s.errorCorrection));
        }
        w.U8(lengthTypeFlags).U8(s.propertyFlags);
        w.Field(s.packetLengthType, s.packetLength.value_or(s.size)).Field(s.sequenceType, 0);
        w.Field(s.paddingType, padding).U32(s.sendTime).U16(s.duration);
        if (multiple) {
            w.U8(s.payloadCount.value_or(static_cast<uint8_t>(s.payloads.size())) | (s.payloadLengthType << 6));
        }
        return w.bytes();
    };
    const size_t used = header(0).size() + payloads.bytes().size();
    const uint32_t fill = used < s.size ? static_cast<uint32_t>(s.size - used) : 0;
    Bytes packet = header(s.padding.value_or(fill));
    packet.insert(packet.end(), payloads.bytes().begin(), payloads.bytes().end());
    packet.resize(s.size, 0);
    return packet;
}

Bytes AsfFile(const FileSpec& layout) {
    std::vector<Bytes> objects = layout.headerObjectsBefore;
    objects.insert(objects.begin(), FilePropertiesObject(layout.props));
    if (layout.audio) {
        objects.push_back(AudioStreamObject(layout.audioFlags, *layout.audio));
    }
    size_t packetBytes = 0;
    for (const Bytes& p : layout.packets) {
        packetBytes += p.size();
    }
    ByteWriter w;
    w.Append(HeaderObject(objects))
        .Append(DataObjectHeader(layout.totalPackets.value_or(layout.packets.size()), packetBytes));
    for (const Bytes& p : layout.packets) {
        w.Append(p);
    }
    w.Append(layout.trailer);
    return w.bytes();
}

size_t DataStart(const Bytes& file) {
    const uint64_t headerSize = static_cast<uint64_t>(file[16]) | static_cast<uint64_t>(file[17]) << 8 |
                                static_cast<uint64_t>(file[18]) << 16 | static_cast<uint64_t>(file[19]) << 24;
    return static_cast<size_t>(headerSize) + 50;
}

Bytes SimpleAudioFile(uint32_t count, uint32_t packetSize, uint32_t frameSize, uint64_t preroll) {
    FileSpec layout;
    layout.props.packetSize = packetSize;
    layout.props.preroll = preroll;
    layout.props.dataPackets = count;
    layout.props.sendDuration = static_cast<uint64_t>(count) * 100 * 10000;
    for (uint32_t i = 0; i < count; ++i) {
        PacketSpec packet;
        packet.size = packetSize;
        packet.duration = 100;
        PayloadSpec payload;
        payload.mediaObject = i;
        payload.replicated = Replicated(frameSize, static_cast<uint32_t>(preroll + 100ull * i));
        payload.data.reserve(frameSize);
        for (uint32_t b = 0; b < frameSize; ++b) {
            payload.data.push_back(static_cast<uint8_t>(i * 7 + b));
        }
        packet.payloads.push_back(payload);
        layout.packets.push_back(Packet(packet));
    }
    return AsfFile(layout);
}

}  // namespace asftest
