// LZHUF encoding: LZSS with the reference's binary-tree longest-match search,
// adaptive Huffman coding of literals and lengths, table-coded positions.
// Every tie-break and every quirk of the reference is kept, so packages made
// here decode identically wherever the format is read.
#include "package/lzhuf_encoder.h"

#include <bit>
#include <cstring>
#include <memory>

#include "package/lzhuf_tree.h"

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
// Bytes go straight into the output vector through a pointer; the vector is
// grown ahead of need and trimmed to the bytes written at the end.
class BitOutput {
public:
    explicit BitOutput(std::vector<uint8_t>& out) : out_(out) {
        const size_t start = out_.size();
        out_.resize(start + 256);
        next_ = out_.data() + start;
    }

    // Emits the top `length` bits (1..16) of the 16-bit left-aligned `code`.
    // The arithmetic mirrors the reference (a 32-bit unsigned buffer whose
    // bytes are written through a char-sized put).
    void Putcode(int length, uint32_t code) {
        if (out_.data() + out_.size() - next_ < 2) Grow();
        putbuf_ |= code >> putlen_;
        putlen_ += length;
        if (putlen_ >= 8) {
            *next_++ = static_cast<uint8_t>(putbuf_ >> 8);
            putlen_ -= 8;
            if (putlen_ >= 8) {
                *next_++ = static_cast<uint8_t>(putbuf_);
                putlen_ -= 8;
                putbuf_ = code << (length - putlen_);
            } else {
                putbuf_ <<= 8;
            }
        }
    }

    void EncodeEnd() {
        if (putlen_ != 0) {
            if (out_.data() + out_.size() == next_) Grow();
            *next_++ = static_cast<uint8_t>(putbuf_ >> 8);
        }
        out_.resize(static_cast<size_t>(next_ - out_.data()));
    }

private:
    void Grow() {
        const size_t written = static_cast<size_t>(next_ - out_.data());
        out_.resize(out_.size() * 2);
        next_ = out_.data() + written;
    }

    std::vector<uint8_t>& out_;
    uint8_t* next_ = nullptr;
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
    void ReplaceNode(int p, int r);
    void DeleteNode(int p);
    void EncodeChar(unsigned c);
    void EncodePosition(unsigned c);

    // Index of the first byte in 9..F-1 where key and candidate differ, or F;
    // `key_is_greater` then says whether key's byte there is the greater.
    int MatchLength(const uint8_t* key, const uint8_t* candidate, bool& key_is_greater) const;

    HuffTree tree_{};
    // Ring plus F - 1 mirrored bytes, plus slack for word-wide compares.
    uint8_t text_buf[N + F - 1 + 8]{};
    // The search trees in 16-bit links (NIL and the 256 roots fit): half the
    // cache footprint of ints, and the search is all about these loads. A
    // node's two children sit side by side (lson/rson name them), so the
    // search gets both in one go and a side is picked by index.
    uint16_t son[N + 257][2]{};
    uint16_t dad[N + 1]{};
    uint16_t& lson(int p) { return son[p][0]; }
    uint16_t& rson(int p) { return son[p][1]; }
    int match_position = 0;
    int match_length = 0;
    BitOutput bits_;
};

void Encoder::InitTree() {
    for (int i = N + 1; i <= N + 256; ++i) rson(i) = NIL;
    for (int i = 0; i < N; ++i) dad[i] = NIL;
}

// Eight bytes as a big-endian number, so that comparing two such numbers
// compares the bytes in order, like memcmp: one load and a byte swap.
inline uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little) {
#if defined(__GNUC__)
        v = __builtin_bswap64(v);
#else
        v = (v & 0x00000000FFFFFFFFull) << 32 | (v & 0xFFFFFFFF00000000ull) >> 32;
        v = (v & 0x0000FFFF0000FFFFull) << 16 | (v & 0xFFFF0000FFFF0000ull) >> 16;
        v = (v & 0x00FF00FF00FF00FFull) << 8 | (v & 0xFF00FF00FF00FF00ull) >> 8;
#endif
    }
    return v;
}

int Encoder::MatchLength(const uint8_t* key, const uint8_t* candidate, bool& key_is_greater) const {
    // Bytes 9..59 in words (the last one overlaps the one before); the caller
    // has compared bytes 1..8 already.
    constexpr int kWordStarts[] = {9, 17, 25, 33, 41, 49, F - 8};
    for (const int start : kWordStarts) {
        const uint64_t a = LoadBigEndian64(key + start);
        const uint64_t b = LoadBigEndian64(candidate + start);
        if (a != b) {
            key_is_greater = a > b;
            return start + std::countl_zero(a ^ b) / 8;
        }
    }
    return F;
}

// The search descends one node per step, and each step needs the previous
// one's comparison to know where to go. To keep that chain short, the first
// word (bytes 1..8) of both children of a node is fetched while the node
// itself is being compared; the comparison then only selects one of them.
// The tree and every tie-break are the reference's: only the order of the
// loads differs. A NIL child's word is fetched too (from the slack past the
// ring) and never used.
void Encoder::InsertNode(int r) {
    const uint8_t* const key = &text_buf[r];
    const uint64_t key_word = LoadBigEndian64(key + 1);
    int p = N + 1 + key[0];
    bool right = true;  // the reference's cmp >= 0: the first step goes right
    rson(r) = lson(r) = NIL;
    // The best match so far, in locals until the search ends.
    int length = 0;
    int position = match_position;
    int q = rson(p);
    uint64_t word = LoadBigEndian64(&text_buf[q + 1]);
    while (q != NIL) {
        p = q;
        const int left_child = lson(p);
        const int right_child = rson(p);
        const uint64_t left_word = LoadBigEndian64(&text_buf[left_child + 1]);
        const uint64_t right_word = LoadBigEndian64(&text_buf[right_child + 1]);
        const uint64_t diff = key_word ^ word;
        right = key_word > word;
        // Unless bytes 1 and 2 agree, the match is too short to note.
        if (diff >> (64 - 8 * THRESHOLD) == 0) {
            const int i = diff != 0 ? 1 + std::countl_zero(diff) / 8 : MatchLength(key, &text_buf[p], right);
            // A longer match wins; an equally long one wins when it is
            // nearer. The reference compares an unsigned candidate with the
            // int position, so a candidate of -1 (wrapped) never wins a tie.
            const int candidate = ((r - p) & (N - 1)) - 1;
            const bool longer = i > length;
            const bool nearer = i == length && static_cast<unsigned>(candidate) < static_cast<unsigned>(position);
            const int take = -static_cast<int>(longer | nearer);  // all ones or zero, again to avoid a branch
            position = (candidate & take) | (position & ~take);
            length = longer ? i : length;
            if (length >= F) {
                match_length = length;
                match_position = position;
                ReplaceNode(p, r);
                return;
            }
        }
        // Masks rather than ?: so that compilers select instead of branching
        // on a coin toss.
        const uint64_t take_right = 0 - static_cast<uint64_t>(right);
        q = static_cast<int>((static_cast<uint64_t>(right_child) & take_right) |
                             (static_cast<uint64_t>(left_child) & ~take_right));
        word = (right_word & take_right) | (left_word & ~take_right);
    }
    son[p][right] = static_cast<uint16_t>(r);
    dad[r] = static_cast<uint16_t>(p);
    match_length = length;
    match_position = position;
}

// Full-length match: r takes p's place in the tree.
void Encoder::ReplaceNode(int p, int r) {
    dad[r] = dad[p];
    lson(r) = lson(p);
    rson(r) = rson(p);
    dad[lson(p)] = static_cast<uint16_t>(r);
    dad[rson(p)] = static_cast<uint16_t>(r);
    son[dad[p]][rson(dad[p]) == p] = static_cast<uint16_t>(r);
    dad[p] = NIL;
}

void Encoder::DeleteNode(int p) {
    if (dad[p] == NIL) return;
    int q;
    if (rson(p) == NIL) {
        q = lson(p);
    } else if (lson(p) == NIL) {
        q = rson(p);
    } else {
        q = lson(p);
        if (rson(q) != NIL) {
            do q = rson(q);
            while (rson(q) != NIL);
            rson(dad[q]) = lson(q);
            dad[lson(q)] = dad[q];
            lson(q) = lson(p);
            dad[lson(p)] = static_cast<uint16_t>(q);
        }
        rson(q) = rson(p);
        dad[rson(p)] = static_cast<uint16_t>(q);
    }
    dad[q] = dad[p];
    son[dad[p]][rson(dad[p]) == p] = static_cast<uint16_t>(q);
    dad[p] = NIL;
}

void Encoder::EncodeChar(unsigned c) {
    // Walk from the leaf to the root; an odd node is the second child (bit 1).
    // The bits gather at the top of 64. The reference kept only the top 16
    // bits of its code word, so a code longer than that lost its last bits
    // and the stream decoded to garbage; such a code is written whole here,
    // in two pieces. The tree's counts stay below 0x8000, which keeps every
    // code well under 32 bits. Codes of up to 16 bits come out exactly as the
    // reference writes them.
    uint64_t code = 0;
    int length = 0;
    const unsigned leaf = tree_.prnt[c + T];
    unsigned k = leaf;
    do {
        code = code >> 1 | static_cast<uint64_t>(k & 1) << 63;
        ++length;
    } while ((k = tree_.prnt[k]) != R);
    if (length <= 16) {
        bits_.Putcode(length, static_cast<uint32_t>(code >> 48));
    } else {
        bits_.Putcode(16, static_cast<uint32_t>(code >> 48));
        bits_.Putcode(length - 16, static_cast<uint32_t>(code >> 32) & 0xFFFF);
    }
    update(tree_, static_cast<int>(c), leaf);
}

void Encoder::EncodePosition(unsigned c) {
    const unsigned upper = c >> 6;
    bits_.Putcode(kPositionCodes.p_len[upper], static_cast<uint32_t>(kPositionCodes.p_code[upper]) << 8);
    bits_.Putcode(6, (c & 0x3F) << 10);
}

void Encoder::Run(std::span<const uint8_t> input) {
    const uint8_t* next = input.data();
    const uint8_t* const end = next + input.size();

    StartHuff(tree_);
    InitTree();
    int s = 0;
    int r = N - F;
    for (int i = s; i < r; ++i) text_buf[i] = ' ';
    int len = 0;
    for (; len < F && next != end; ++len) text_buf[r + len] = *next++;
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
        for (; i < last_match_length && next != end; ++i) {
            const uint8_t c = *next++;
            DeleteNode(s);
            text_buf[s] = c;
            if (s < F - 1) text_buf[s + N] = c;
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
