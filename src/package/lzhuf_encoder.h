// LZHUF encoder producing exactly the reference encoder's bytes: a 4-byte
// little-endian original size, then the code bits, last byte zero-padded.
// Native only (packaging tool and tests); the stub never encodes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kq::lzhuf {

std::vector<uint8_t> Encode(std::span<const uint8_t> input);

}  // namespace kq::lzhuf
