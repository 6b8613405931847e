// Arbitrary bytes after a stub, as `kqpack list` and `extract` walk them:
// records (the integrity record among them) lie back to back inside the
// file, and the walk stops early only at a record that is really damaged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/package_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> program(kq::kStubLength, 0);
    program.insert(program.end(), data, data + size);
    const kq::PackageWalk walk = kq::WalkPackage(program);
    uint64_t end = kq::kStubLength;
    std::vector<kq::PackageRecord> records = walk.records;
    if (walk.integrity) records.push_back(*walk.integrity);  // the last one, when it is the integrity record
    for (const kq::PackageRecord& r : records) {
        const uint64_t record_end = r.offset + uint64_t{r.record_length};
        const uint8_t* stream = program.data() + r.offset + 18 + r.stored_name.size();
        if (r.offset != end || record_end > program.size() || stream > program.data() + record_end ||
            r.stream.data() != stream || stream + r.stream.size() != program.data() + record_end)
            std::abort();
        end = record_end;
    }
    if (walk.error.empty() != (end == program.size())) std::abort();
    if (!walk.error.empty() && end + 8 <= program.size()) {
        const uint32_t length = kq::ReadU32(&program[end + 4]);
        kq::RecordFields fields{};
        if (length >= 18 && end + length <= program.size() && kq::ParseRecordBuffer(&program[end + 4], length - 4, fields))
            std::abort();
    }
    return 0;
}
