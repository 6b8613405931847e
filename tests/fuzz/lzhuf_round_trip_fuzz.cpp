// Any input, encoded and decoded again, is the input. A seed whose code tree
// grows past 16 levels keeps the long codes within the fuzzer's reach.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> input(data, data + size);
    if (kq::DecodeReferenceStream(kq::lzhuf::Encode(input)) != input) std::abort();
    return 0;
}
