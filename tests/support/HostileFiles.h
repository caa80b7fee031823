#pragma once

// Damaged and crafted ASF files, one or more per class of bad input, with
// the clean result each must give. Shared by the unit tests and the fuzz
// seed generator, which commits them to the regression corpus.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/AsfWriter.h"

namespace asftest {

struct HostileFile {
    std::string name;
    Bytes bytes;
    bool opens;  // what Open returns
    // Frames a seekable read from start to end delivers; none where what
    // the walk makes of the damage is of no interest.
    std::optional<size_t> frames;
};

std::vector<HostileFile> HostileFiles();

// Files of every packet layout: error correction or none, single and
// multiple payloads, every length type, packet length and padding,
// compressed payloads, several streams, trailing index objects.
std::vector<std::pair<std::string, Bytes>> LayoutFiles();

}  // namespace asftest
