// Record assembly and the integrity record.
#include "package/record_writer.h"

#include "package/lzhuf_encoder.h"
#include "package/package_integrity.h"
#include "package/record_format.h"

namespace kq {
namespace {

void PutU32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> AssembleRecord(std::string_view stored_name, uint16_t dos_date, uint16_t dos_time,
                                    uint8_t attributes, std::span<const uint8_t> coded) {
    std::vector<uint8_t> record(kRecordSignature, kRecordSignature + 4);
    PutU32(record, static_cast<uint32_t>(14 + stored_name.size() + coded.size()));
    for (const uint16_t field : {dos_date, dos_time}) {
        record.push_back(static_cast<uint8_t>(field));
        record.push_back(static_cast<uint8_t>(field >> 8));
    }
    record.push_back(attributes);
    record.push_back(static_cast<uint8_t>(stored_name.size()));
    record.insert(record.end(), stored_name.begin(), stored_name.end());
    record.insert(record.end(), coded.begin(), coded.end());
    return record;
}

void AppendIntegrityRecord(std::vector<uint8_t>& program, std::span<const uint32_t> decoded_crcs) {
    Crc32Table table;
    MakeCrc32Table(table);
    std::vector<uint8_t> payload(kIntegrityMark, kIntegrityMark + 4);
    PutU32(payload, static_cast<uint32_t>(decoded_crcs.size()));
    size_t cursor = kStubLength;
    for (const uint32_t decoded_crc : decoded_crcs) {
        const uint32_t length = ReadU32(program.data() + cursor + 4);
        PutU32(payload, Crc32(table, 0, program.data() + cursor, length));
        PutU32(payload, decoded_crc);
        cursor += length;
    }
    PutU32(payload, Crc32(table, 0, payload.data(), payload.size()));
    std::vector<uint8_t> coded = lzhuf::Encode(payload);
    // Bytes after the code are never read: zeros there round the length up.
    const size_t length = program.size() + 14 + kIntegrityNameLength + coded.size();
    coded.resize(coded.size() + (8 - length % 8) % 8, 0);
    // Dated 1980-01-01 00:00, so that the record depends on the records alone.
    const std::vector<uint8_t> record = AssembleRecord(kIntegrityRecordName, 1 << 5 | 1, 0, 0x20, coded);
    program.insert(program.end(), record.begin(), record.end());
    for (int i = 0; i < 4; ++i) program[kIntegrityMarkOffset + i] = kIntegrityMark[i];
}

}  // namespace kq
