#include "bench/BenchFiles.h"

#include <map>
#include <utility>

#include "tests/support/AsfWriter.h"

namespace {

using namespace asftest;

// The Header Object and the Data Object's fixed part of a file whose
// packets follow.
Bytes HeaderFor(uint32_t packetSize, uint64_t packets) {
    FileSpec layout;
    layout.props.packetSize = packetSize;
    layout.props.dataPackets = packets;
    layout.props.sendDuration = packets * 10 * 10000;
    layout.totalPackets = packets;
    return AsfFile(layout);
}

// Appends `count` copies of `packet`, each with its presentation time (at
// `timeOffset`, when given) set to 10 ms times its index.
void AppendPackets(Bytes& file, const Bytes& packet, uint64_t count, size_t timeOffset) {
    file.reserve(file.size() + packet.size() * count);
    for (uint64_t i = 0; i < count; ++i) {
        const size_t at = file.size();
        file.insert(file.end(), packet.begin(), packet.end());
        if (timeOffset != 0) {
            const auto time = static_cast<uint32_t>(10 * i);
            for (int b = 0; b < 4; ++b) {
                file[at + timeOffset + static_cast<size_t>(b)] = static_cast<uint8_t>(time >> (8 * b));
            }
        }
    }
}

Bytes Data(size_t size, uint8_t seed) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 31);
    }
    return bytes;
}

BenchFile Build(Shape shape, uint64_t minBytes) {
    PacketSpec p;
    uint64_t framesPerPacket = 0;
    uint64_t frameBytesPerPacket = 0;
    switch (shape) {
        case Shape::LargePayloads:
            p.size = 3200;
            p.payloads = {{.replicated = Replicated(1000, 1), .data = Data(1000, 1)},
                          {.replicated = Replicated(1000, 1), .data = Data(1000, 2)},
                          {.replicated = Replicated(1000, 1), .data = Data(1000, 3)}};
            framesPerPacket = 3;
            frameBytesPerPacket = 3000;
            break;
        case Shape::SinglePayload:
            p.size = 512;
            p.payloads = {{.replicated = Replicated(480, 1), .data = Data(480, 4)}};
            framesPerPacket = 1;
            frameBytesPerPacket = 480;
            break;
        case Shape::CompressedPayloads: {
            p.size = 3200;
            std::vector<Bytes> frames(14, Data(10, 5));
            for (int k = 0; k < 18; ++k) {
                p.payloads.push_back({.replicated = {0x0A}, .data = SubPayloads(frames)});
            }
            framesPerPacket = 18 * 14;
            frameBytesPerPacket = 18 * 14 * 10;
            break;
        }
    }
    const Bytes packet = Packet(p);
    const uint64_t count = (minBytes + p.size - 1) / p.size;
    BenchFile file;
    file.bytes = HeaderFor(p.size, count);
    AppendPackets(file.bytes, packet, count, 0);
    file.packets = count;
    file.frames = count * framesPerPacket;
    file.frameBytes = count * frameBytesPerPacket;
    return file;
}

}  // namespace

const BenchFile& FileOfShape(Shape shape, uint64_t minBytes) {
    static std::map<std::pair<Shape, uint64_t>, BenchFile> files;
    auto [it, added] = files.try_emplace({shape, minBytes});
    if (added) {
        it->second = Build(shape, minBytes);
    }
    return it->second;
}

const BenchFile& FileOfPackets(uint64_t packets) {
    static std::map<uint64_t, BenchFile> files;
    auto [it, added] = files.try_emplace(packets);
    if (added) {
        PacketSpec p;
        p.size = 512;
        p.duration = 10;
        p.payloads = {{.replicated = Replicated(400, 0), .data = Data(400, 6)}};
        const Bytes packet = Packet(p);
        // Presentation time: after the 13-byte packet header, the stream
        // number, object number, 4-byte offset and replicated data length
        // (7 bytes), 4 bytes into the replicated data.
        BenchFile& file = it->second;
        file.bytes = HeaderFor(p.size, packets);
        AppendPackets(file.bytes, packet, packets, 13 + 7 + 4);
        file.packets = packets;
        file.frames = packets;
        file.frameBytes = packets * 400;
    }
    return it->second;
}
