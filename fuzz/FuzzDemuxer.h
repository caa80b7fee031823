#pragma once

#include <cstddef>
#include <cstdint>

// The first kControlBytes of a fuzz input choose how the host drives the
// demuxer; the rest is the file.
//   0: bit 0 streaming source; bits 1-2 the ReadFrame capacity kind
//      (0: none, 1: tiny, 2: from byte 1, 3: large)
//   1: the streaming chunk size and the capacity amount
//   2: how much of the file has arrived before Open (streaming), in 1/255
//   3-5: three Seek requests (an index into a table of awkward values)
//   6-7: when the seeks happen, in ReadFrame calls
inline constexpr size_t kControlBytes = 8;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
