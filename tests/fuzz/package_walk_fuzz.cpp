// Arbitrary bytes appended to a stub: what `kqpack list` and `extract` walk.
// Every record found must lie inside the file, and decoding each is bounded.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/package_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> program(kq::kStubLength, 0);
    program.insert(program.end(), data, data + size);
    const kq::PackageWalk walk = kq::WalkPackage(program);
    uint64_t end = kq::kStubLength;
    for (const kq::PackageRecord& record : walk.records) {
        if (record.offset != end || record.offset + uint64_t{record.record_length} > program.size()) std::abort();
        if (record.stream.data() < program.data() ||
            record.stream.data() + record.stream.size() > program.data() + program.size())
            std::abort();
        end = record.offset + uint64_t{record.record_length};
        if (record.uncompressed_size <= (1u << 20)) {
            const std::vector<uint8_t> bytes = kq::DecodeRecordBytes(record);
            if (bytes.size() < record.uncompressed_size) std::abort();
        }
    }
    if (walk.error.empty() && end != program.size()) std::abort();
    return 0;
}
