#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace asftest {

// SHA-256 of `data` as 64 lower-case hex digits.
std::string Sha256Hex(const std::vector<uint8_t>& data);

}  // namespace asftest
