// LZHUF constants and the fixed position-code tables shared by the decoder
// (in the stub and the packaging tool) and the encoder (packaging tool only).
// The tables are computed at compile time from their defining ranges.
#pragma once

#include <stdint.h>

namespace kq::lzhuf {

inline constexpr int N = 4096;          // ring size: positions are 12 bits
inline constexpr int F = 60;            // longest match
inline constexpr int THRESHOLD = 2;     // matches are longer than this
inline constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols
inline constexpr int T = N_CHAR * 2 - 1;            // 627 tree nodes
inline constexpr int R = T - 1;                     // root node
inline constexpr unsigned MAX_FREQ = 0x8000;        // rebuild threshold

struct PositionTables {
    uint8_t d_code[256];
    uint8_t d_len[256];
};

// Upper 6 bits of a match position are coded with 3 to 8 bits; the byte that
// starts such a code maps to its 6-bit value (d_code) and its length (d_len).
constexpr PositionTables MakePositionTables() {
    PositionTables t{};
    struct Band { int first, last, code_base, divisor, len; };
    constexpr Band bands[] = {
        {0x00, 0x1F, 0, 32, 3},  {0x20, 0x4F, 1, 16, 4},  {0x50, 0x8F, 4, 8, 5},
        {0x90, 0xBF, 12, 4, 6},  {0xC0, 0xEF, 24, 2, 7},  {0xF0, 0xFF, 48, 1, 8},
    };
    for (const Band& band : bands)
        for (int b = band.first; b <= band.last; ++b) {
            t.d_code[b] = static_cast<uint8_t>(band.code_base + (b - band.first) / band.divisor);
            t.d_len[b] = static_cast<uint8_t>(band.len);
        }
    return t;
}

inline constexpr PositionTables kPositionTables = MakePositionTables();

static_assert(kPositionTables.d_code[0x1F] == 0 && kPositionTables.d_code[0x20] == 1);
static_assert(kPositionTables.d_code[0x8F] == 11 && kPositionTables.d_code[0xBF] == 23);
static_assert(kPositionTables.d_code[0xEF] == 47 && kPositionTables.d_code[0xFF] == 63);

}  // namespace kq::lzhuf
