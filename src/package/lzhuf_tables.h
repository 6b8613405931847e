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
// Codes of length 3 to 8 come 1, 3, 8, 12, 24 and 16 of them, in order, each
// taking 256 >> length byte values. Filled by a loop rather than copied from a
// table: in the stub the loop is a tenth of the table's 512 bytes.
constexpr void FillPositionTables(uint8_t* d_code, uint8_t* d_len) {
    constexpr uint8_t kCodesOfLength[6] = {1, 3, 8, 12, 24, 16};
    unsigned b = 0, upper = 0;
    for (unsigned len = 3; len <= 8; ++len)
        for (unsigned n = 0; n < kCodesOfLength[len - 3]; ++n, ++upper)
            for (unsigned k = 0; k < 256u >> len; ++k, ++b) {
                d_code[b] = static_cast<uint8_t>(upper);
                d_len[b] = static_cast<uint8_t>(len);
            }
}

constexpr PositionTables MakePositionTables() {
    PositionTables t{};
    FillPositionTables(t.d_code, t.d_len);
    return t;
}

inline constexpr PositionTables kPositionTables = MakePositionTables();

static_assert(kPositionTables.d_code[0x1F] == 0 && kPositionTables.d_code[0x20] == 1);
static_assert(kPositionTables.d_code[0x8F] == 11 && kPositionTables.d_code[0xBF] == 23);
static_assert(kPositionTables.d_code[0xEF] == 47 && kPositionTables.d_code[0xFF] == 63);

}  // namespace kq::lzhuf
