// The LZHUF decoder: adaptive Huffman symbols, table-coded match positions,
// LZSS copies out of a 4096-byte ring pre-filled with spaces.
//
// The inner loop runs once per symbol, so it is written for that: the bit
// buffer is topped up once per symbol instead of being checked per bit, the
// top levels of the code tree are looked up rather than walked, all hot state
// lives in locals, and a match that neither wraps the ring nor fills the
// output piece is copied without any per-byte bookkeeping.
#include "package/lzhuf_decoder.h"

namespace kq::lzhuf {
namespace {

// Compilers turn this into one load and a byte swap.
inline uint64_t LoadBigEndian64(const uint8_t* p) {
    return static_cast<uint64_t>(p[0]) << 56 | static_cast<uint64_t>(p[1]) << 48 | static_cast<uint64_t>(p[2]) << 40 |
           static_cast<uint64_t>(p[3]) << 32 | static_cast<uint64_t>(p[4]) << 24 | static_cast<uint64_t>(p[5]) << 16 |
           static_cast<uint64_t>(p[6]) << 8 | static_cast<uint64_t>(p[7]);
}

// MSB-first bit reader over the in-memory stream. The 64-bit buffer holds the
// same bit sequence the reference's 16-bit buffer would deliver, only refilled
// less often; input past the end supplies zero bits without advancing, and
// `padding` counts those zero bytes.
//
// The valid bits sit at the top of `buffer`. Below them the buffer may hold a
// copy of bits not yet counted: they are always the stream's true next bits,
// so OR-ing the same bytes in again on the next refill changes nothing.
struct BitInput {
    const uint8_t* next;
    const uint8_t* end;
    uint64_t buffer;
    unsigned count;
    uint32_t padding;

    // Tops the buffer up to at least 56 bits. Away from the end of the stream
    // eight bytes are fetched at once and as many whole ones kept as fit.
    void Refill() {
        if (end - next >= 8) {
            buffer |= LoadBigEndian64(next) >> count;
            next += (63 - count) >> 3;
            count |= 56;
            return;
        }
        while (count <= 56) {
            uint64_t byte = 0;
            if (next < end) byte = *next++;
            else ++padding;
            buffer |= byte << (56 - count);
            count += 8;
        }
    }

    unsigned GetBit() {
        if (count == 0) Refill();
        const unsigned bit = static_cast<unsigned>(buffer >> 63);
        buffer <<= 1;
        --count;
        return bit;
    }

    // The next `length` bits (1..16) as a number, without consuming them.
    unsigned Peek(unsigned length) {
        if (count < 16) Refill();
        return static_cast<unsigned>(buffer >> (64 - length));
    }

    void Skip(unsigned length) {
        buffer <<= length;
        count -= length;
    }
};

// Returns the top bit of `bits` and shifts it out. GCC and Clang see the
// carry of bits + bits here, which makes it two instructions.
inline unsigned ShiftOutTopBit(uint64_t& bits) {
#if defined(__GNUC__)
    uint64_t doubled;
    const bool carry = __builtin_add_overflow(bits, bits, &doubled);
    bits = doubled;
    return carry;
#else
    const unsigned bit = static_cast<unsigned>(bits >> 63);
    bits <<= 1;
    return bit;
#endif
}

// The top kTopBits levels of the code tree, looked up rather than walked.
//
// Near the root the tree hardly changes: exchanges happen among the nodes of
// lowest counts, far below. So an entry, once walked, stays good until
// update() rewrites son[] of a node the walk read; to tell, `watch` keeps the
// lowest such node, and all entries are dropped at once when update() reports
// a change at or above it (or a rebuild). Entries are walked on first use.
constexpr unsigned kTopBits = 6;
static_assert(kTopBits <= 6, "one bit per entry in a 64-bit word");

struct TopLevels {
    uint16_t node[1 << kTopBits];  // where the walk stands after the entry's bits
    uint8_t depth[1 << kTopBits];  // how many of them it took: a leaf may come first
    uint64_t walked;               // one bit per entry that is filled in
    size_t watch;                  // lowest node whose son[] an entry was read from
};

// Fills in the entry for the next kTopBits bits, `prefix`.
inline void WalkTop(const HuffTree& tree, TopLevels& top, unsigned prefix) {
    unsigned node = R;
    unsigned depth = 0;
    for (;;) {
        if (node < top.watch) top.watch = node;
        const unsigned c = tree.son[node];
        if (c >= static_cast<unsigned>(T)) break;  // a leaf within the top levels
        node = c + ((prefix >> (kTopBits - 1 - depth)) & 1);
        if (++depth == kTopBits) break;  // son[node] is read by the walk itself
    }
    top.node[prefix] = static_cast<uint16_t>(node);
    top.depth[prefix] = static_cast<uint8_t>(depth);
    top.walked |= uint64_t{1} << prefix;
}

// Walks the code tree from the root, one bit per level, to a leaf: the top
// levels through `top`, the rest node by node.
//
// The walk reads a copy of the bit buffer without counting down the bits it
// holds: the Refill() at the start of each symbol leaves at least 56, and a
// tree whose counts stay below 0x8000 is never that deep. Should a walk still
// go deeper than the bits it had, it is simply done again the careful way.
inline unsigned DecodeChar(HuffTree& tree, BitInput& input, TopLevels& top) {
    const uint16_t* const son = tree.son;
    uint64_t bits = input.buffer;
    const unsigned prefix = static_cast<unsigned>(bits >> (64 - kTopBits));
    if (!((top.walked >> prefix) & 1)) WalkTop(tree, top, prefix);
    size_t node = top.node[prefix];
    unsigned depth = top.depth[prefix];
    bits <<= depth;
    unsigned c = son[node];
    while (c < static_cast<unsigned>(T)) {
        node = c + ShiftOutTopBit(bits);
        c = son[node];
        ++depth;
    }
    if (depth <= input.count) {
        input.buffer = bits;
        input.count -= depth;
    } else {
        node = R;
        c = son[R];
        while (c < static_cast<unsigned>(T)) {
            node = c + input.GetBit();
            c = son[node];
        }
    }
    c -= T;
    if (update(tree, static_cast<int>(c), node) >= top.watch) {
        top.walked = 0;
        top.watch = T;
    }
    return c;
}

// Upper 6 bits of the position from a 3- to 8-bit code, then 6 plain bits.
// The first byte of the code decides its length, so the whole code (9 to 14
// bits) is taken in one go.
inline unsigned DecodePosition(BitInput& input, const uint8_t* d_code, const uint8_t* d_len) {
    const unsigned first = input.Peek(8);
    const unsigned length = d_len[first] + 6u;
    const unsigned bits = input.Peek(length);
    input.Skip(length);
    return static_cast<unsigned>(d_code[first]) << 6 | (bits & 0x3F);
}

// Where in the current piece decoding stops: at the stated size, if that falls
// inside this piece, else at the end of the piece (which is then handed on).
inline uint32_t StopFill(uint32_t size, uint64_t flushed) {
    return flushed + kOutputPiece <= size ? kOutputPiece : flushed < size ? static_cast<uint32_t>(size - flushed) : 0;
}

}  // namespace

DecodeResult DecodeStream(const uint8_t* stream, uint32_t stream_length, uint32_t size, DecoderWorkspace& ws,
                          OutputSink sink) {
    uint32_t fill = 0;
    uint64_t flushed = 0;  // bytes handed on in whole pieces
    bool ran_out = false;
    if (size != 0) {
        FillPositionTables(ws.d_code, ws.d_len);
        StartHuff(ws.tree);
        for (int i = 0; i < N - F; ++i) ws.text_buf[i] = ' ';
        BitInput input{stream, stream + stream_length, 0, 0, 0};
        TopLevels top;
        top.walked = 0;
        top.watch = T;
        unsigned r = N - F;
        // One test per symbol covers both a full piece and the end.
        uint32_t stop = StopFill(size, flushed);
        // The workspace arrays are used through `ws` rather than through
        // pointers of their own: all of them sit at fixed offsets from it,
        // which leaves registers for the state of the loop.
        for (;;) {
            input.Refill();
            const unsigned c = DecodeChar(ws.tree, input, top);
            if (c < 256) {
                ws.text_buf[r] = static_cast<uint8_t>(c);
                r = (r + 1) & (N - 1);
                ws.out[fill++] = static_cast<uint8_t>(c);
            } else {
                unsigned i = (r - DecodePosition(input, ws.d_code, ws.d_len) - 1) & (N - 1);
                const unsigned length = c - (255 - THRESHOLD);
                if (i + length <= static_cast<unsigned>(N) && r + length <= static_cast<unsigned>(N) &&
                    fill + length < kOutputPiece) {
                    // Neither end wraps and the piece stays short of full. Byte
                    // by byte on purpose: a source just behind `r` repeats the
                    // bytes this very copy writes.
                    for (unsigned k = 0; k < length; ++k) {
                        const uint8_t b = ws.text_buf[i + k];
                        ws.text_buf[r + k] = b;
                        ws.out[fill + k] = b;
                    }
                    r = (r + length) & (N - 1);
                    fill += length;
                } else {
                    for (unsigned k = 0; k < length; ++k) {
                        const uint8_t b = ws.text_buf[i];
                        i = (i + 1) & (N - 1);
                        ws.text_buf[r] = b;
                        r = (r + 1) & (N - 1);
                        ws.out[fill] = b;
                        if (++fill == kOutputPiece) {
                            sink.write(sink.context, ws.out, kOutputPiece);
                            flushed += kOutputPiece;
                            fill = 0;
                        }
                    }
                    stop = StopFill(size, flushed);
                }
            }
            if (fill >= stop) {
                if (fill == kOutputPiece) {
                    sink.write(sink.context, ws.out, kOutputPiece);
                    flushed += kOutputPiece;
                    fill = 0;
                    stop = StopFill(size, flushed);
                }
                // The stated size is reached (a last match may go past it).
                if (fill >= stop) break;
            }
        }
        // The zero bytes past the end are the last ones in; fewer bits than
        // they hold left over means some of them were used.
        ran_out = uint64_t{input.padding} * 8 > input.count;
    }
    sink.write(sink.context, ws.out, fill);
    return {flushed + fill, ran_out};
}

}  // namespace kq::lzhuf
