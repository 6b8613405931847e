// Builds the packages with the real encoder and record layout, then spoils
// one field of record 2 in place.
#include "damaged_records.h"

#include <cstdint>

#include "package/lzhuf_encoder.h"
#include "package/package_integrity.h"
#include "package/record_format.h"
#include "package/record_writer.h"

namespace kqtest {
namespace {

void PutU32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Dated 2001-02-03 04:05:06 (0x2A43, 0x20A3), archive attribute.
std::string DatedRecord(const std::string& name, const std::string& contents) {
    return EncodeRecord({name, contents, 0x20, 0x2A43, 0x20A3});
}

std::string FirstTwoRecords() {
    return DatedRecord("kqsetup.inf", "[Install]\r\nAppName=Damaged\r\nDefDir=Damaged\r\nFileNum=1\r\n") +
           DatedRecord("License.txt", "You may use this program.\r\n");
}

// Short enough that a name length byte can reach past its end.
std::string ThirdRecord() { return DatedRecord("readme.txt", "Read me first.\r\n"); }

}  // namespace

std::string EncodeRecord(const kqtest::Record& record) {
    const std::vector<uint8_t> coded =
        kq::lzhuf::Encode({reinterpret_cast<const uint8_t*>(record.contents.data()), record.contents.size()});
    const std::vector<uint8_t> bytes =
        kq::AssembleRecord(record.name, record.dos_date, record.dos_time, record.attributes, coded);
    return {bytes.begin(), bytes.end()};
}

std::string WithIntegrityRecord(const std::string& stub, const std::vector<Record>& records) {
    kq::Crc32Table table;
    kq::MakeCrc32Table(table);
    std::vector<uint8_t> program(stub.begin(), stub.end());
    std::vector<uint32_t> crcs;
    for (const Record& record : records) {
        const std::string bytes = EncodeRecord(record);
        program.insert(program.end(), bytes.begin(), bytes.end());
        crcs.push_back(kq::Crc32(table, 0, reinterpret_cast<const uint8_t*>(record.contents.data()), record.contents.size()));
    }
    kq::AppendIntegrityRecord(program, crcs);
    return {program.begin(), program.end()};
}

std::vector<DamagedPackage> SpoiledPrograms(const std::string& stub) {
    const std::string sound = WithIntegrityRecord(stub, {{"kqsetup.inf", "[Install]\r\nAppName=Spoiled\r\nFileNum=1\r\n"},
                                                         {"License.txt", "Terms.\r\n"}, {"a.txt", "Some text."}});
    std::vector<size_t> starts;  // of each record: the script, the licence, the file, the integrity record
    for (size_t at = kq::kStubLength; at < sound.size(); at += kq::ReadU32(reinterpret_cast<const uint8_t*>(&sound[at + 4])))
        starts.push_back(at);
    const size_t integrity = starts.back();
    std::vector<DamagedPackage> spoiled;
    // A byte of each record: a field, a stream byte, the last byte, a name byte.
    for (const size_t at : {starts[0] + 9, starts[1] + 30, integrity - 1, integrity + 15}) {
        std::string copy = sound;
        copy[at] = static_cast<char>(copy[at] ^ 0x04);
        spoiled.push_back({"byte " + std::to_string(at) + " flipped", copy});
    }
    for (const size_t length : {size_t{kq::kStubLength} + 5, size_t{kq::kStubLength} + 40, integrity, sound.size() - 1})
        spoiled.push_back({"cut to " + std::to_string(length) + " bytes", sound.substr(0, length)});
    return spoiled;
}

std::string SoundPackage() { return FirstTwoRecords() + ThirdRecord(); }

std::vector<DamagedPackage> DamagedPackages() {
    const std::string head = FirstTwoRecords(), sound = ThirdRecord();
    const auto length = static_cast<uint32_t>(sound.size());
    const size_t name_length = static_cast<uint8_t>(sound[13]);
    auto with_u32 = [&](size_t at, uint32_t value) {
        std::string record = sound;
        PutU32(record, at, value);
        return head + record;
    };
    std::string name_past = sound;
    name_past[13] = static_cast<char>(length - kq::kRecordFixedBytes + 1);  // the size field ends one byte past
    const uint64_t too_large = kq::MaxDecodedSize(static_cast<uint32_t>(length - kq::kRecordFixedBytes - name_length)) + 1;
    return {
        {"length_below_fixed_fields", with_u32(4, kq::kRecordFixedBytes - 1)},
        {"length_past_end_of_file", with_u32(4, length + 1)},
        // Cursor plus length is 2^32: zero in 32-bit arithmetic.
        {"length_wrapping_past_4_gib", with_u32(4, 0u - static_cast<uint32_t>(kq::kStubLength + head.size()))},
        {"name_running_past_record", head + name_past},
        {"stated_size_beyond_stream", with_u32(14 + name_length, static_cast<uint32_t>(too_large))},
        {"header_cut_short", head + sound.substr(0, kq::kRecordPrefixBytes - 1)},
    };
}

}  // namespace kqtest
