// A plain, slow LZHUF decoder written straight from the published 1988
// algorithm, one bit and one byte at a time, for the fuzzers to hold the
// stub's optimised decoder against. Nothing here is shared with src/package.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plain_lzhuf {

constexpr unsigned N = 4096, F = 60, THRESHOLD = 2;
constexpr unsigned N_CHAR = 256 - THRESHOLD + F, T = N_CHAR * 2 - 1, R = T - 1;
constexpr unsigned MAX_FREQ = 0x8000;

struct Decoded {
    std::vector<uint8_t> bytes;  // the stated size, plus the rest of a last match
    unsigned longest_code = 0;   // in bits, of the symbols decoded
    bool ran_out = false;        // bits past the end of the stream were used
};

struct Decoder {
    const uint8_t* in = nullptr;
    const uint8_t* end = nullptr;
    unsigned byte = 0, bits_left = 0;
    bool ran_out = false;
    unsigned freq[T + 1], son[T], prnt[T + N_CHAR];
    unsigned d_code[256], d_len[256];

    // Bits most significant first; past the end of the stream they are zero.
    unsigned GetBit() {
        if (bits_left == 0) {
            ran_out |= in == end;
            byte = in < end ? *in++ : 0;
            bits_left = 8;
        }
        return (byte >> --bits_left) & 1;
    }

    // Every symbol counted once: the leaves, then each node over the two before it.
    void StartHuff() {
        for (unsigned i = 0; i < N_CHAR; ++i) freq[i] = 1, son[i] = i + T, prnt[i + T] = i;
        for (unsigned i = 0, j = N_CHAR; j <= R; i += 2, ++j) freq[j] = freq[i] + freq[i + 1], son[j] = i, prnt[i] = prnt[i + 1] = j;
        freq[T] = 0xFFFF;  // stops the search for a node's new place
        prnt[R] = 0;
    }

    // Halves the leaves and builds the tree again, each new node inserted
    // after every node of no greater count.
    void reconst() {
        unsigned j = 0;
        for (unsigned i = 0; i < T; ++i)
            if (son[i] >= T) freq[j] = (freq[i] + 1) / 2, son[j++] = son[i];
        for (unsigned i = 0, n = N_CHAR; n < T; i += 2, ++n) {
            const unsigned f = freq[i] + freq[i + 1];
            unsigned k = n;
            for (; f < freq[k - 1]; --k) freq[k] = freq[k - 1], son[k] = son[k - 1];
            freq[k] = f, son[k] = i;
        }
        for (unsigned i = 0; i < T; ++i) {
            prnt[son[i]] = i;
            if (son[i] < T) prnt[son[i] + 1] = i;
        }
    }

    void update(unsigned c) {
        if (freq[R] == MAX_FREQ) reconst();
        c = prnt[c + T];
        do {
            const unsigned k = ++freq[c];
            if (k > freq[c + 1]) {
                unsigned l = c + 1;
                while (k > freq[l + 1]) ++l;
                freq[c] = freq[l];
                freq[l] = k;
                const unsigned i = son[c], j = son[l];
                prnt[i] = l;
                if (i < T) prnt[i + 1] = l;
                son[l] = i;
                prnt[j] = c;
                if (j < T) prnt[j + 1] = c;
                son[c] = j;
                c = l;
            }
        } while ((c = prnt[c]) != 0);
    }

    unsigned DecodeChar(unsigned& depth) {
        unsigned c = son[R];
        for (; c < T; ++depth) c = son[c + GetBit()];
        update(c - T);
        return c - T;
    }

    // The upper 6 bits from a 3- to 8-bit code, then 6 plain bits.
    unsigned DecodePosition() {
        unsigned i = 0;
        for (int k = 0; k < 8; ++k) i = i << 1 | GetBit();
        const unsigned upper = d_code[i];
        for (unsigned j = d_len[i] - 2; j > 0; --j) i = i << 1 | GetBit();
        return upper << 6 | (i & 0x3F);
    }
};

inline Decoded Decode(const uint8_t* stream, size_t length, uint32_t textsize) {
    Decoder d;
    d.in = stream;
    d.end = stream + length;
    // Position codes: 1 of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7 and 16 of
    // 8, handed out in order; every byte that starts a code maps to it.
    const unsigned codes_of_length[] = {1, 3, 8, 12, 24, 16};
    for (unsigned len = 3, upper = 0, code = 0; len <= 8; ++len)
        for (unsigned n = 0; n < codes_of_length[len - 3]; ++n, ++upper, code += 256 >> len)
            for (unsigned b = code; b < code + (256 >> len); ++b) d.d_code[b] = upper, d.d_len[b] = len;
    d.StartHuff();
    // Spaces before the start, zeros (the reference's static memory) after.
    std::vector<uint8_t> text_buf(N, 0);
    for (unsigned i = 0; i < N - F; ++i) text_buf[i] = ' ';
    Decoded out;
    for (unsigned r = N - F; out.bytes.size() < textsize;) {
        unsigned depth = 0;
        const unsigned c = d.DecodeChar(depth);
        if (depth > out.longest_code) out.longest_code = depth;
        const unsigned from = c < 256 ? 0 : (r - d.DecodePosition() - 1) % N;
        for (unsigned k = 0; k < (c < 256 ? 1 : c - 255 + THRESHOLD); ++k) {
            const uint8_t b = c < 256 ? static_cast<uint8_t>(c) : text_buf[(from + k) % N];
            out.bytes.push_back(b);
            text_buf[r] = b;
            r = (r + 1) % N;
        }
    }
    out.ran_out = d.ran_out;
    return out;
}

}  // namespace plain_lzhuf
