// An input that drives the LZHUF code tree more than 16 levels deep and then
// codes symbols at that depth: shared by the codec test and the fuzz seeds.
#pragma once

#include <cstdint>
#include <vector>

namespace kqtest {

// About 300 KB; its deepest codes are 17 bits long.
std::vector<uint8_t> DeepCodeInput();

}  // namespace kqtest
