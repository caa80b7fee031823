#pragma once

#include <cstdint>
#include <vector>

// Large ASF files generated in memory at start-up.

enum class Shape {
    LargePayloads,       // 3,200-byte packets, three payloads of ~1 KB each
    SinglePayload,       // 512-byte packets, one payload
    CompressedPayloads,  // 3,200-byte packets of compressed payloads, 10-byte sub-payloads
};

struct BenchFile {
    std::vector<uint8_t> bytes;
    uint64_t packets = 0;
    uint64_t frames = 0;      // frames in the whole file
    uint64_t frameBytes = 0;  // their bytes
};

// A file of at least `minBytes` of packets of the given shape; built once
// per shape and size, then shared.
const BenchFile& FileOfShape(Shape shape, uint64_t minBytes);

// A file of `packets` packets of 512 bytes, one payload each, with
// presentation times 10 ms apart.
const BenchFile& FileOfPackets(uint64_t packets);
