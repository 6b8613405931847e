// LZHUF encoding: LZSS with the reference's binary-tree longest-match search,
// adaptive Huffman coding of literals and lengths, table-coded positions.
// Every tie-break and every quirk of the reference is kept, so packages made
// here decode identically wherever the format is read.
#include "lzhuf_encoder.h"

#include <cstring>
#include <memory>

#include "lzhuf_tree.h"

namespace kq::lzhuf {
namespace {

constexpr int NIL = N;  // "no node" in the search trees

// Code bytes and lengths for the upper 6 bits of a position: the first byte
// value of each d_code band, and its d_len.
struct PositionCodes {
    uint8_t p_code[64];
    uint8_t p_len[64];
};

constexpr PositionCodes MakePositionCodes() {
    PositionCodes codes{};
    for (int b = 255; b >= 0; --b) {
        codes.p_code[kPositionTables.d_code[b]] = static_cast<uint8_t>(b);
        codes.p_len[kPositionTables.d_code[b]] = kPositionTables.d_len[b];
    }
    return codes;
}

constexpr PositionCodes kPositionCodes = MakePositionCodes();
static_assert(kPositionCodes.p_code[1] == 0x20 && kPositionCodes.p_len[1] == 4);
static_assert(kPositionCodes.p_code[63] == 0xFF && kPositionCodes.p_len[63] == 8);

// Bit packing as the reference does it: codes arrive left-aligned in 16 bits.
class BitOutput {
public:
    explicit BitOutput(std::vector<uint8_t>& out) : out_(out) {}

    // Emits the top `length` bits of the 16-bit left-aligned `code`. The
    // arithmetic mirrors the reference (a 32-bit unsigned buffer whose bytes
    // are written through a char-sized put), including for codes longer than
    // 16 bits, where the reference drops bits.
    void Putcode(int length, uint32_t code) {
        putbuf_ |= code >> putlen_;
        putlen_ += length;
        if (putlen_ >= 8) {
            out_.push_back(static_cast<uint8_t>(putbuf_ >> 8));
            putlen_ -= 8;
            if (putlen_ >= 8) {
                out_.push_back(static_cast<uint8_t>(putbuf_));
                putlen_ -= 8;
                putbuf_ = code << (length - putlen_);
            } else {
                putbuf_ <<= 8;
            }
        }
    }

    void EncodeEnd() {
        if (putlen_ != 0) out_.push_back(static_cast<uint8_t>(putbuf_ >> 8));
    }

private:
    std::vector<uint8_t>& out_;
    uint32_t putbuf_ = 0;
    int putlen_ = 0;
};

class Encoder {
public:
    explicit Encoder(std::vector<uint8_t>& out) : bits_(out) {}

    void Run(std::span<const uint8_t> input);

private:
    void InitTree();
    void InsertNode(int r);
    void DeleteNode(int p);
    void EncodeChar(unsigned c);
    void EncodePosition(unsigned c);

    // Index of the first byte in 1..F-1 where key and text_buf[p..] differ,
    // or F; `cmp` receives key[i] - text_buf[p + i] there.
    int MatchLength(const uint8_t* key, const uint8_t* candidate, int& cmp) const;

    HuffTree tree_{};
    // Ring plus F - 1 mirrored bytes, plus slack for word-wide compares.
    uint8_t text_buf[N + F - 1 + 8]{};
    int lson[N + 1]{};
    int rson[N + 257]{};
    int dad[N + 1]{};
    int match_position = 0;
    int match_length = 0;
    BitOutput bits_;
};

void Encoder::InitTree() {
    for (int i = N + 1; i <= N + 256; ++i) rson[i] = NIL;
    for (int i = 0; i < N; ++i) dad[i] = NIL;
}

int Encoder::MatchLength(const uint8_t* key, const uint8_t* candidate, int& cmp) const {
    int i = 1;
    while (i + 8 <= F) {
        uint64_t a, b;
        std::memcpy(&a, key + i, 8);
        std::memcpy(&b, candidate + i, 8);
        if (a != b) break;
        i += 8;
    }
    for (; i < F; ++i) {
        cmp = key[i] - candidate[i];
        if (cmp != 0) return i;
    }
    return F;
}

void Encoder::InsertNode(int r) {
    int cmp = 1;
    const uint8_t* const key = &text_buf[r];
    int p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    match_length = 0;
    for (;;) {
        if (cmp >= 0) {
            if (rson[p] != NIL) {
                p = rson[p];
            } else {
                rson[p] = r;
                dad[r] = p;
                return;
            }
        } else {
            if (lson[p] != NIL) {
                p = lson[p];
            } else {
                lson[p] = r;
                dad[r] = p;
                return;
            }
        }
        const int i = MatchLength(key, &text_buf[p], cmp);
        if (i > THRESHOLD) {
            if (i > match_length) {
                match_position = ((r - p) & (N - 1)) - 1;
                if ((match_length = i) >= F) break;
            }
            if (i == match_length) {
                // The reference compares an unsigned candidate with the int
                // position, so a candidate of -1 (wrapped) never wins.
                const unsigned c = static_cast<unsigned>(((r - p) & (N - 1)) - 1);
                if (c < static_cast<unsigned>(match_position)) match_position = static_cast<int>(c);
            }
        }
    }
    // Full-length match: r takes p's place in the tree.
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p)
        rson[dad[p]] = r;
    else
        lson[dad[p]] = r;
    dad[p] = NIL;
}

void Encoder::DeleteNode(int p) {
    if (dad[p] == NIL) return;
    int q;
    if (rson[p] == NIL) {
        q = lson[p];
    } else if (lson[p] == NIL) {
        q = rson[p];
    } else {
        q = lson[p];
        if (rson[q] != NIL) {
            do q = rson[q];
            while (rson[q] != NIL);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = q;
        }
        rson[q] = rson[p];
        dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
        rson[dad[p]] = q;
    else
        lson[dad[p]] = q;
    dad[p] = NIL;
}

void Encoder::EncodeChar(unsigned c) {
    // Walk from the leaf to the root; an odd node is the second child (bit 1).
    uint32_t code = 0;
    int length = 0;
    int k = tree_.prnt[c + T];
    do {
        code >>= 1;
        if (k & 1) code += 0x8000;
        ++length;
    } while ((k = tree_.prnt[k]) != R);
    bits_.Putcode(length, code);
    update(tree_, static_cast<int>(c));
}

void Encoder::EncodePosition(unsigned c) {
    const unsigned upper = c >> 6;
    bits_.Putcode(kPositionCodes.p_len[upper], static_cast<uint32_t>(kPositionCodes.p_code[upper]) << 8);
    bits_.Putcode(6, (c & 0x3F) << 10);
}

void Encoder::Run(std::span<const uint8_t> input) {
    size_t next = 0;
    auto getc = [&]() -> int { return next < input.size() ? input[next++] : -1; };

    StartHuff(tree_);
    InitTree();
    int s = 0;
    int r = N - F;
    for (int i = s; i < r; ++i) text_buf[i] = ' ';
    int len = 0;
    for (int c; len < F && (c = getc()) != -1; ++len) text_buf[r + len] = static_cast<uint8_t>(c);
    for (int i = 1; i <= F; ++i) InsertNode(r - i);
    InsertNode(r);
    do {
        if (match_length > len) match_length = len;
        if (match_length <= THRESHOLD) {
            match_length = 1;
            EncodeChar(text_buf[r]);
        } else {
            EncodeChar(static_cast<unsigned>(255 - THRESHOLD + match_length));
            EncodePosition(static_cast<unsigned>(match_position));
        }
        const int last_match_length = match_length;
        int i = 0;
        for (int c; i < last_match_length && (c = getc()) != -1; ++i) {
            DeleteNode(s);
            text_buf[s] = static_cast<uint8_t>(c);
            if (s < F - 1) text_buf[s + N] = static_cast<uint8_t>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            InsertNode(r);
        }
        while (i++ < last_match_length) {
            DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) InsertNode(r);
        }
    } while (len > 0);
    bits_.EncodeEnd();
}

}  // namespace

std::vector<uint8_t> Encode(std::span<const uint8_t> input) {
    std::vector<uint8_t> out;
    out.reserve(input.size() / 2 + 16);
    const uint32_t size = static_cast<uint32_t>(input.size());
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(size >> shift));
    if (size == 0) return out;
    auto encoder = std::make_unique<Encoder>(out);
    encoder->Run(input);
    return out;
}

}  // namespace kq::lzhuf
