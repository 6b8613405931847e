// The LZHUF decoder: adaptive Huffman symbols, table-coded match positions,
// LZSS copies out of a 4096-byte ring pre-filled with spaces.
#include "lzhuf_decoder.h"

namespace kq::lzhuf {
namespace {

// MSB-first bit reader over the in-memory stream. The 64-bit buffer holds the
// same bit sequence the reference's 16-bit buffer would deliver, only refilled
// less often; input past the end supplies zero bits without advancing.
class BitInput {
public:
    BitInput(const uint8_t* data, uint32_t length) : next_(data), end_(data + length) {}

    unsigned GetBit() {
        if (count_ == 0) Refill();
        const unsigned bit = static_cast<unsigned>(buffer_ >> 63);
        buffer_ <<= 1;
        --count_;
        return bit;
    }

    unsigned GetByte() {
        if (count_ < 8) Refill();
        const unsigned byte = static_cast<unsigned>(buffer_ >> 56);
        buffer_ <<= 8;
        count_ -= 8;
        return byte;
    }

private:
    void Refill() {
        while (count_ <= 56) {
            const uint64_t byte = next_ < end_ ? *next_++ : 0;
            buffer_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    const uint8_t* next_;
    const uint8_t* const end_;
    uint64_t buffer_ = 0;
    unsigned count_ = 0;
};

class Decoder {
public:
    Decoder(DecoderWorkspace& ws, BitInput& input, OutputSink sink)
        : ws_(ws), tree_(ws.tree), input_(input), sink_(sink) {}

    int DecodeChar() {
        unsigned c = tree_.son[R];
        while (c < static_cast<unsigned>(T)) c = tree_.son[c + input_.GetBit()];
        c -= T;
        update(tree_, static_cast<int>(c));
        return static_cast<int>(c);
    }

    unsigned DecodePosition() {
        unsigned i = input_.GetByte();
        const unsigned c = static_cast<unsigned>(ws_.d_code[i]) << 6;
        for (unsigned j = ws_.d_len[i] - 2u; j > 0; --j) i = (i << 1) + input_.GetBit();
        return c | (i & 0x3F);
    }

    void Put(uint8_t byte) {
        ws_.out[fill_++] = byte;
        if (fill_ == kOutputPiece) {
            sink_.write(sink_.context, ws_.out, kOutputPiece);
            fill_ = 0;
        }
    }

    void Flush() { sink_.write(sink_.context, ws_.out, fill_); }

private:
    DecoderWorkspace& ws_;
    HuffTree& tree_;
    BitInput& input_;
    OutputSink sink_;
    uint32_t fill_ = 0;
};

}  // namespace

uint64_t DecodeStream(const uint8_t* stream, uint32_t stream_length, uint32_t size,
                      DecoderWorkspace& ws, OutputSink sink) {
    BitInput input(stream, stream_length);
    Decoder decoder(ws, input, sink);
    // 64 bits: a count just below 2^32 plus a whole last match must not wrap.
    uint64_t count = 0;
    if (size != 0) {
        for (int b = 0; b < 256; ++b) {
            ws.d_code[b] = kPositionTables.d_code[b];
            ws.d_len[b] = kPositionTables.d_len[b];
        }
        StartHuff(ws.tree);
        uint8_t* const text_buf = ws.text_buf;
        for (int i = 0; i < N - F; ++i) text_buf[i] = ' ';
        unsigned r = N - F;
        while (count < size) {
            const int c = decoder.DecodeChar();
            if (c < 256) {
                decoder.Put(static_cast<uint8_t>(c));
                text_buf[r] = static_cast<uint8_t>(c);
                r = (r + 1) & (N - 1);
                ++count;
            } else {
                const unsigned i = (r - decoder.DecodePosition() - 1) & (N - 1);
                const unsigned length = static_cast<unsigned>(c) - (255 - THRESHOLD);
                for (unsigned k = 0; k < length; ++k) {
                    const uint8_t b = text_buf[(i + k) & (N - 1)];
                    decoder.Put(b);
                    text_buf[r] = b;
                    r = (r + 1) & (N - 1);
                }
                count += length;
            }
        }
    }
    decoder.Flush();
    return count;
}

}  // namespace kq::lzhuf
