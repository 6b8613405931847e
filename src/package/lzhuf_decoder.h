// LZHUF decoding of one compressed stream into a byte sink. Portable: the stub
// feeds the output file through the sink, the packaging tool a memory buffer.
#pragma once

#include "package/lzhuf_tree.h"

namespace kq::lzhuf {

// Receives decoded bytes: pieces of exactly kOutputPiece bytes, then one last
// piece of the remainder (possibly zero bytes long).
struct OutputSink {
    void* context;
    void (*write)(void* context, const uint8_t* bytes, uint32_t count);
};

inline constexpr uint32_t kOutputPiece = 4095;

// All scratch memory of one decoding run (about 13 KB). The caller allocates
// it afresh per stream, so nothing carries over from one record to the next.
struct DecoderWorkspace {
    HuffTree tree;
    uint8_t d_code[256];
    uint8_t d_len[256];
    uint8_t text_buf[N + F - 1];
    uint8_t out[kOutputPiece + 1];
};

struct DecodeResult {
    uint64_t count;  // bytes handed to the sink
    bool ran_out;    // the code ended before the stated size: the stream is cut short or damaged
};

// Decodes `size` bytes from `stream` (its code bits, most significant first).
// Bytes past the end of the stream read as zero, and a last match is copied
// whole even where it runs past `size`, exactly as the reference decoder does.
// An encoder's stream gives exactly `size` bytes without running out.
DecodeResult DecodeStream(const uint8_t* stream, uint32_t stream_length, uint32_t size, DecoderWorkspace& workspace,
                          OutputSink sink);

}  // namespace kq::lzhuf
