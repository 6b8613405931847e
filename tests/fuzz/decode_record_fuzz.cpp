// Arbitrary bytes as a record buffer (from the length field on): the parser
// must accept exactly what the plain rule accepts, with fields inside the
// buffer. The rule: a name and the 4-byte size fit after the 10 fixed bytes,
// and the stated size is one the rest of the buffer could decode to.
#include <cstdint>
#include <cstdlib>

#include "package/record_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    kq::RecordFields fields{};
    const bool parsed = kq::ParseRecordBuffer(data, static_cast<uint32_t>(size), fields) == 1;
    const size_t stream_at = size >= 10 ? 14u + data[9] : SIZE_MAX;
    const uint64_t stated = stream_at <= size ? kq::ReadU32(data + stream_at - 4) : 0;
    const bool sound = stream_at <= size && stated <= 48 * uint64_t{size - stream_at} + 60;
    if (parsed != sound) std::abort();
    if (parsed && (fields.name != data + 10 || fields.name_length != data[9] || fields.uncompressed_size != stated ||
                   fields.stream != data + stream_at || fields.stream_length != size - stream_at))
        std::abort();
    return 0;
}
