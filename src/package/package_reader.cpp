// Package walking and whole-record decoding into memory.
#include "package/package_reader.h"

#include <algorithm>
#include <memory>

#include "package/lzhuf_decoder.h"
#include "package/package_integrity.h"

namespace kq {

PackageWalk WalkPackage(std::span<const uint8_t> program_file) {
    PackageWalk walk;
    if (program_file.size() < kStubLength) {
        walk.error = "file is shorter than the " + std::to_string(kStubLength) + "-byte stub";
        return walk;
    }
    if (program_file.size() > UINT32_MAX) {
        walk.error = "file is larger than 4 GiB";
        return walk;
    }
    const auto file_size =
        PackageEnd(program_file.data(), static_cast<uint32_t>(std::min<size_t>(program_file.size(), 4096)),
                   static_cast<uint32_t>(program_file.size()));
    walk.package_end = file_size;
    walk.marked = std::equal(kIntegrityMark, kIntegrityMark + 4, program_file.data() + kIntegrityMarkOffset);
    uint32_t cursor = kStubLength;
    while (cursor < file_size) {
        const std::string where =
            "record " + std::to_string(walk.records.size()) + " at offset " + std::to_string(cursor);
        if (file_size - cursor < kRecordPrefixBytes) {
            walk.error = where + ": truncated record header";
            return walk;
        }
        const uint32_t record_length = ReadU32(program_file.data() + cursor + 4);
        if (!RecordFitsFile(cursor, record_length, file_size)) {
            walk.error = where + ": record length " + std::to_string(record_length) +
                         " does not fit the file";
            return walk;
        }
        RecordFields fields{};
        if (!ParseRecordBuffer(program_file.data() + cursor + 4, record_length - 4, fields)) {
            const uint32_t name_length = program_file[cursor + 13];
            walk.error = kRecordFixedBytes + name_length > record_length
                             ? where + ": stored name runs past the record"
                             : where + ": stated size is more than its stream could hold";
            return walk;
        }
        PackageRecord record;
        record.offset = cursor;
        record.record_length = record_length;
        record.dos_date = fields.dos_date;
        record.dos_time = fields.dos_time;
        record.attributes = fields.attributes;
        record.stored_name.assign(reinterpret_cast<const char*>(fields.name), fields.name_length);
        record.uncompressed_size = fields.uncompressed_size;
        record.stream = {fields.stream, fields.stream_length};
        walk.records.push_back(std::move(record));
        cursor += record_length;
    }
    if (!walk.records.empty() && walk.records.back().stored_name == kIntegrityRecordName) {
        walk.integrity = std::move(walk.records.back());
        walk.records.pop_back();
    }
    return walk;
}

namespace {

std::vector<uint8_t> DecodeToMemory(std::span<const uint8_t> stream, uint32_t size) {
    std::vector<uint8_t> out;
    // No stream yields more than 48 bytes per byte of code plus one last
    // match, so a damaged size field cannot make this reserve gigabytes.
    out.reserve(std::min<size_t>(size, stream.size() * 48 + 64));
    auto workspace = std::make_unique<lzhuf::DecoderWorkspace>();
    lzhuf::OutputSink sink{&out, [](void* context, const uint8_t* bytes, uint32_t count) {
                               auto* vec = static_cast<std::vector<uint8_t>*>(context);
                               vec->insert(vec->end(), bytes, bytes + count);
                           }};
    lzhuf::DecodeStream(stream.data(), static_cast<uint32_t>(stream.size()), size, *workspace, sink);
    return out;
}

// Follows the decoder's output through `expected`, when there is one, noting
// the first byte that differs, and keeps its CRC-32 when given a table.
struct Comparison {
    const uint8_t* expected;
    uint64_t expected_size;
    const Crc32Table* table = nullptr;
    uint32_t crc = 0;
    uint64_t seen = 0;
    uint64_t first_difference = UINT64_MAX;

    static void Take(void* context, const uint8_t* bytes, uint32_t count) {
        auto* c = static_cast<Comparison*>(context);
        if (c->table != nullptr) c->crc = Crc32(*c->table, c->crc, bytes, count);
        if (c->expected != nullptr && c->first_difference == UINT64_MAX) {
            for (uint32_t i = 0; i < count; ++i) {
                if (c->seen + i >= c->expected_size || bytes[i] != c->expected[c->seen + i]) {
                    c->first_difference = c->seen + i;
                    break;
                }
            }
        }
        c->seen += count;
    }
};

std::string Problem(std::span<const uint8_t> stream, uint32_t size, Comparison& comparison) {
    auto workspace = std::make_unique<lzhuf::DecoderWorkspace>();
    const lzhuf::DecodeResult result = lzhuf::DecodeStream(
        stream.data(), static_cast<uint32_t>(stream.size()), size, *workspace, {&comparison, Comparison::Take});
    if (result.ran_out) return "its code ends before its " + std::to_string(size) + " bytes";
    if (result.count != size)
        return "it decodes to " + std::to_string(result.count) + " bytes, not " + std::to_string(size);
    if (comparison.first_difference != UINT64_MAX)
        return "it decodes to other bytes from byte " + std::to_string(comparison.first_difference);
    return {};
}

}  // namespace

std::vector<uint8_t> DecodeRecordBytes(const PackageRecord& record) {
    return DecodeToMemory(record.stream, record.uncompressed_size);
}

std::vector<uint8_t> DecodeReferenceStream(std::span<const uint8_t> file, bool* refused) {
    const bool sound = file.size() >= 4 && ReadU32(file.data()) <= MaxDecodedSize(static_cast<uint32_t>(file.size() - 4));
    if (refused != nullptr) *refused = !sound;
    if (!sound) return {};
    return DecodeToMemory(file.subspan(4), ReadU32(file.data()));
}

std::string StreamProblem(std::span<const uint8_t> stream, uint32_t size) {
    Comparison none{nullptr, 0};
    return Problem(stream, size, none);
}

std::string StreamDifference(std::span<const uint8_t> stream, std::span<const uint8_t> expected) {
    Comparison comparison{expected.data(), expected.size()};
    return Problem(stream, static_cast<uint32_t>(expected.size()), comparison);
}

std::vector<std::string> VerifyPackage(std::span<const uint8_t> program_file) {
    const PackageWalk walk = WalkPackage(program_file);
    if (!walk.error.empty()) return {walk.error};
    if (!walk.marked && !walk.integrity) return {"no integrity record: made by an older kqpack, it cannot be verified"};
    if (!walk.marked) return {"the stub lacks the integrity mark its package calls for"};
    if (!walk.integrity) return {"the integrity record is missing: the package is cut short"};
    Crc32Table table;
    MakeCrc32Table(table);
    const std::vector<uint8_t> payload = DecodeRecordBytes(*walk.integrity);
    const auto count = static_cast<uint32_t>(walk.records.size());
    if (!CheckIntegrityPayload(table, payload.data(), static_cast<uint32_t>(payload.size()), count))
        return {"the integrity record is damaged, or does not cover the " + std::to_string(count) + " records"};
    std::vector<std::string> problems;
    for (uint32_t i = 0; i < count; ++i) {
        const PackageRecord& record = walk.records[i];
        const std::string where = "record " + std::to_string(i) + " \"" + record.stored_name + "\": ";
        if (Crc32(table, 0, program_file.data() + record.offset, record.record_length) != ReadU32(&payload[8 + 8 * i]))
            problems.push_back(where + "its bytes are not the ones packaged (CRC)");
        // One decoding gives both the stream's problems and the bytes' CRC.
        Comparison decoded{nullptr, 0, &table};
        std::string problem = Problem(record.stream, record.uncompressed_size, decoded);
        if (problem.empty() && decoded.crc != ReadU32(&payload[12 + 8 * i]))
            problem = "it decodes to other bytes than the ones packaged (CRC)";
        if (!problem.empty()) problems.push_back(where + problem);
    }
    return problems;
}

}  // namespace kq
