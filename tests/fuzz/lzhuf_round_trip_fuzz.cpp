// Any input, encoded and decoded again, is the input.
//
// A known open fault: the encoder drops the bits of a code longer than 16
// (the reference encoder's 16-bit code word). With KQ_FUZZ_KNOWN_LONG_CODES
// set, as brief runs do, a mismatch is let pass when the plain decoder shows
// such a code in the stream, so that only new faults stop the run.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"
#include "plain_lzhuf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> input(data, data + size);
    const std::vector<uint8_t> coded = kq::lzhuf::Encode(input);
    if (kq::DecodeReferenceStream(coded) == input) return 0;
    if (std::getenv("KQ_FUZZ_KNOWN_LONG_CODES") != nullptr &&
        plain_lzhuf::Decode(coded.data() + 4, coded.size() - 4, static_cast<uint32_t>(size)).longest_code > 16)
        return 0;
    std::abort();
}
