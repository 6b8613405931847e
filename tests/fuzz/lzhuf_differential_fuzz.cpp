// Arbitrary streams in the reference file layout (4-byte size, code bits):
// the stub's decoder must give the plain decoder's bytes, handed on in pieces
// of 4095 bytes and a last piece of the rest, and report their count and
// whether the code ran out.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "package/lzhuf_decoder.h"
#include "package/record_format.h"
#include "common/plain_lzhuf.h"

namespace {

struct Pieces {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> sizes;
};

void Collect(void* context, const uint8_t* bytes, uint32_t count) {
    auto* pieces = static_cast<Pieces*>(context);
    pieces->bytes.insert(pieces->bytes.end(), bytes, bytes + count);
    pieces->sizes.push_back(count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > UINT32_MAX) return 0;
    // Past what its bits could encode a stream only yields zero bits: a short
    // run of those shows their handling as well as a long one does.
    const auto stated = static_cast<uint32_t>(std::min<uint64_t>(kq::ReadU32(data), 8 * uint64_t{size} + 4096));
    // Zeroed, as the tool's reader allocates it.
    auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
    Pieces got;
    const kq::lzhuf::DecodeResult result =
        kq::lzhuf::DecodeStream(data + 4, static_cast<uint32_t>(size - 4), stated, *workspace, {&got, Collect});
    const plain_lzhuf::Decoded want = plain_lzhuf::Decode(data + 4, size - 4, stated);
    std::vector<uint32_t> sizes(want.bytes.size() / 4095, 4095);
    sizes.push_back(static_cast<uint32_t>(want.bytes.size() % 4095));
    if (got.bytes != want.bytes || got.sizes != sizes || result.count != want.bytes.size() ||
        result.ran_out != want.ran_out)
        std::abort();
    return 0;
}
