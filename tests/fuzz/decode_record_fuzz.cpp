// Arbitrary bytes as a record buffer (from the length field on): the parser
// must refuse or accept without reading outside the buffer, and the decoder
// must produce exactly what the size and the last-match rule allow.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "package/lzhuf_decoder.h"
#include "package/record_format.h"

namespace {

struct CountingSink {
    uint64_t total = 0;
    uint32_t pieces_after_short = 0;
    bool short_piece_seen = false;
};

void Count(void* context, const uint8_t*, uint32_t count) {
    auto* sink = static_cast<CountingSink*>(context);
    // Every piece but the last is exactly 4095 bytes.
    if (sink->short_piece_seen) ++sink->pieces_after_short;
    if (count != kq::lzhuf::kOutputPiece) sink->short_piece_seen = true;
    sink->total += count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    kq::RecordFields fields{};
    if (!kq::ParseRecordBuffer(data, static_cast<uint32_t>(size), fields)) return 0;
    if (fields.uncompressed_size > kq::MaxDecodedSize(fields.stream_length)) std::abort();
    // Keep each run short: large stated sizes are legal, but slow to decode.
    if (fields.uncompressed_size > (1u << 22)) return 0;
    auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
    CountingSink sink;
    const uint64_t produced = kq::lzhuf::DecodeStream(fields.stream, fields.stream_length, fields.uncompressed_size,
                                                      *workspace, kq::lzhuf::OutputSink{&sink, Count});
    if (produced != sink.total || sink.pieces_after_short != 0) std::abort();
    if (produced < fields.uncompressed_size || produced > uint64_t{fields.uncompressed_size} + kq::lzhuf::F - 1)
        std::abort();
    return 0;
}
