// Builds the packages with the real encoder and record layout, then spoils
// one field of record 2 in place.
#include "damaged_records.h"

#include <cstdint>

#include "package/lzhuf_encoder.h"
#include "package/record_format.h"

namespace kqtest {
namespace {

void PutU32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Dated 2001-02-03 04:05:06 (0x2A43, 0x20A3), archive attribute.
std::string Record(const std::string& name, const std::string& contents) {
    const std::vector<uint8_t> coded =
        kq::lzhuf::Encode({reinterpret_cast<const uint8_t*>(contents.data()), contents.size()});
    std::string record = std::string("KQ1\0\0\0\0\0\x43\x2A\xA3\x20\x20", 13) + static_cast<char>(name.size());
    PutU32(record, 4, static_cast<uint32_t>(14 + name.size() + coded.size()));
    return record + name + std::string(coded.begin(), coded.end());
}

std::string FirstTwoRecords() {
    return Record("kqsetup.inf", "[Install]\r\nAppName=Damaged\r\nDefDir=Damaged\r\nFileNum=1\r\n") +
           Record("License.txt", "You may use this program.\r\n");
}

// Short enough that a name length byte can reach past its end.
std::string ThirdRecord() { return Record("readme.txt", "Read me first.\r\n"); }

}  // namespace

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
