#pragma once

#include <cstdint>

// One seek-table entry: a data packet's first byte, as the stream's Tell
// counts positions, and the packet's time in milliseconds (always > 0).
struct SeekPoint {
    int64_t position;
    int64_t timeMs;
};
