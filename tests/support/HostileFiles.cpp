#include "tests/support/HostileFiles.h"

#include <cstring>

namespace asftest {

namespace {

void PutU32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void PutU64(Bytes& bytes, size_t at, uint64_t value) {
    PutU32(bytes, at, static_cast<uint32_t>(value));
    PutU32(bytes, at + 4, static_cast<uint32_t>(value >> 32));
}

size_t Find(const Bytes& bytes, const AsfGuid& guid) {
    for (size_t i = 0; i + guid.size() <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], guid.data(), guid.size()) == 0) {
            return i;
        }
    }
    return bytes.size();
}

Bytes FileOf(std::vector<Bytes> packets, uint32_t packetSize, std::optional<uint64_t> total = {},
             const Bytes& trailer = {}) {
    FileSpec layout;
    layout.props.packetSize = packetSize;
    layout.props.sendDuration = 10000000;
    layout.packets = std::move(packets);
    layout.totalPackets = total;
    layout.trailer = trailer;
    return AsfFile(layout);
}

PayloadSpec Plain(size_t size, uint8_t stream = 1) {
    return {.stream = stream, .replicated = Replicated(static_cast<uint32_t>(size), 100), .data = Bytes(size, 0x5A)};
}

}  // namespace

std::vector<HostileFile> HostileFiles() {
    std::vector<HostileFile> files;
    const Bytes good = SimpleAudioFile(4);

    {
        Bytes f = good;  // a Stream Properties Object claiming 0 bytes
        PutU64(f, Find(f, kStreamPropertiesObjectGuid) + 16, 0);
        files.push_back({"object-size-below-24", f, true, 4});
        PutU64(f, Find(f, kStreamPropertiesObjectGuid) + 16, 0x7FFFFFFFFFFFFFFFull);
        files.push_back({"object-size-beyond-file", f, true, 4});
    }
    {
        Bytes f = good;
        PutU64(f, 16, 29);
        files.push_back({"header-size-29", f, false, 0});
        PutU64(f, 16, 0x100000010ull);  // low 32 bits: 16
        files.push_back({"header-size-low-bits-wrap", f, false, 0});
        PutU64(f, 16, 0x7FFFFFFFull);  // a body of 2 GiB in a small file
        files.push_back({"header-size-beyond-file", f, false, 0});
    }
    files.push_back({"packet-size-0", FileOf({}, 0, 5, Bytes(300, 0x82)), true, 0});
    files.push_back({"packet-size-1", FileOf({Bytes{0x82}, Bytes{0x01}}, 1), true, 0});
    {
        PacketSpec p;
        p.size = 127;
        p.payloads = {Plain(40)};
        files.push_back({"packet-size-127", FileOf({Packet(p), Packet(p)}, 127), true, 2});
    }
    {
        PacketSpec p;
        p.padding = 5000;  // beyond the packet: the data runs to its end
        p.payloads = {Plain(40)};
        PacketSpec q;
        q.packetLengthType = 3;
        q.packetLength = 0xFFFFFFF0;
        q.payloads = {Plain(40)};
        files.push_back({"padding-beyond-packet", FileOf({Packet(p)}, 256), true, 1});
        files.push_back({"packet-length-beyond-packet", FileOf({Packet(q)}, 256), true, 0});
    }
    for (uint32_t r = 2; r <= 7; ++r) {
        PacketSpec p;
        p.payloads = {{.replicated = Bytes(r, 0x11), .data = Bytes(30, 1)}};
        files.push_back({"replicated-length-" + std::to_string(r), FileOf({Packet(p)}, 256), true, 1});
    }
    {
        PacketSpec p;
        p.propertyFlags = 0x5F;  // 4-byte replicated data length
        p.payloads = {{.data = Bytes(30, 1), .replicatedLength = 0xFFFFFF00}};
        files.push_back({"replicated-length-beyond-packet", FileOf({Packet(p)}, 256), true, 0});
    }
    {
        PacketSpec p;
        p.payloads = {{.replicated = {0x01}, .data = {0x02, 1, 2, 0xF0, 1, 2, 3}}};
        files.push_back({"sub-payload-beyond-payload", FileOf({Packet(p)}, 256), true, 1});
    }
    {
        PacketSpec zero;
        zero.payloadCount = 0;
        zero.payloads = {Plain(10), Plain(10)};
        PacketSpec many;
        many.size = 24;
        many.errorCorrection = -1;
        many.payloadCount = 63;
        many.payloads = {Plain(0), Plain(0)};
        files.push_back({"payload-count-0", FileOf({Packet(zero)}, 256), true, 0});
        files.push_back({"payload-count-63-in-24-bytes", FileOf({Packet(many)}, 24), true, 0});
    }
    {
        PacketSpec p;
        p.size = 64;
        p.errorCorrection = 15;
        p.payloads = {Plain(10)};
        Bytes tiny(16, 0);
        tiny[0] = 0x8F;
        files.push_back({"error-correction-15", FileOf({Packet(p)}, 64), true, 1});
        files.push_back({"error-correction-15-in-16-bytes", FileOf({tiny}, 16), true, 0});
    }
    {
        PacketSpec p;
        p.payloads = {Plain(30)};
        Bytes f = FileOf({Packet(p), Packet(p)}, 256, 0x7FFFFFFFFFFFFFF0ull);
        files.push_back({"total-packets-far-beyond-file", f, true, 2});
        files.push_back(
            {"total-packets-negative", FileOf({Packet(p), Packet(p)}, 256, 0xFFFFFFFFFFFFFFFFull), true, 2});
    }
    {
        // A whole second file after the data, in a broadcast-style file (no
        // packet count), so the scan walks through it.
        PacketSpec p;
        p.payloads = {Plain(30)};
        files.push_back({"second-header-after-data", FileOf({Packet(p)}, 256, 0, SimpleAudioFile(2)), true, {}});
    }
    return files;
}

std::vector<std::pair<std::string, Bytes>> LayoutFiles() {
    std::vector<std::pair<std::string, Bytes>> files;
    auto add = [&](const std::string& name, PacketSpec p, const Bytes& trailer = {}) {
        p.size = 512;
        files.emplace_back(name, FileOf({Packet(p), Packet(p)}, 512, {}, trailer));
    };
    PacketSpec single;
    single.payloads = {Plain(100)};
    add("single-with-ec", single);
    single.errorCorrection = -1;
    add("single-no-ec", single);
    single.packetLengthType = 2;
    single.sequenceType = 1;
    add("single-packet-length", single);
    for (uint8_t lengthType = 0; lengthType < 4; ++lengthType) {
        PacketSpec multiple;
        multiple.propertyFlags =
            static_cast<uint8_t>(0x40 | lengthType << 4 | lengthType << 2 | (lengthType == 0 ? 1 : lengthType));
        multiple.payloadLengthType = lengthType == 0 ? 2 : lengthType;
        multiple.paddingType = lengthType;
        multiple.payloads = {Plain(50, 2), Plain(60), Plain(20, 3), Plain(10)};
        add("multiple-length-type-" + std::to_string(lengthType), multiple);
    }
    PacketSpec compressed;
    compressed.payloads = {{.replicated = {0x01}, .data = SubPayloads({Bytes(20, 1), Bytes(0), Bytes(30, 2)})},
                           Plain(40, 2)};
    add("compressed", compressed);
    add("index-after-data", single, SimpleIndexObject(30));
    return files;
}

}  // namespace asftest
