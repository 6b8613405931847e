// The package after the stub: which records a reader accepts and where it
// stops, and the metadata conversions the extractor applies to a record.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/damaged_records.h"
#include "package/package_integrity.h"
#include "package/package_reader.h"
#include "package/lzhuf_encoder.h"
#include "package/record_format.h"
#include "package/stored_name.h"

namespace {

std::vector<uint8_t> Program(const std::string& package) {
    std::vector<uint8_t> program(kq::kStubLength, 0);
    program.insert(program.end(), package.begin(), package.end());
    return program;
}

TEST(PackageWalk, ReadsEveryRecordOfASoundPackage) {
    const std::vector<uint8_t> program = Program(kqtest::SoundPackage());  // the records point into it
    const kq::PackageWalk walk = kq::WalkPackage(program);
    EXPECT_EQ(walk.error, "");
    ASSERT_EQ(walk.records.size(), 3u);
    const char* const names[] = {"kqsetup.inf", "License.txt", "readme.txt"};
    const char* const starts[] = {"[Install]\r\n", "You may use", "Read me"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(walk.records[i].stored_name, names[i]);
        const std::vector<uint8_t> bytes = kq::DecodeRecordBytes(walk.records[i]);
        EXPECT_EQ(bytes.size(), walk.records[i].uncompressed_size);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()).rfind(starts[i], 0), 0u) << names[i];
    }
}

TEST(PackageWalk, RefusesTheDamagedRecordAndKeepsTheOnesBefore) {
    const std::map<std::string, std::string> reasons = {
        {"length_below_fixed_fields", "does not fit the file"}, {"length_past_end_of_file", "does not fit the file"},
        {"length_wrapping_past_4_gib", "does not fit the file"}, {"header_cut_short", "truncated record header"},
        {"name_running_past_record", "stored name runs past the record"},
        {"stated_size_beyond_stream", "stated size is more than its stream could hold"}};
    const std::vector<kqtest::DamagedPackage> damaged = kqtest::DamagedPackages();
    EXPECT_EQ(damaged.size(), reasons.size());
    for (const kqtest::DamagedPackage& d : damaged) {
        const kq::PackageWalk walk = kq::WalkPackage(Program(d.package));
        ASSERT_EQ(walk.records.size(), 2u) << d.name;
        const uint64_t third = walk.records[1].offset + uint64_t{walk.records[1].record_length};
        EXPECT_EQ(walk.error.find("record 2 at offset " + std::to_string(third) + ": "), 0u) << d.name;
        EXPECT_NE(walk.error.find(reasons.at(d.name)), std::string::npos) << d.name << ": " << walk.error;
    }
}

// The bounds refuse only what is damaged: a record at the limits is read.
TEST(PackageWalk, AcceptsRecordsAtTheLimitsAndNothingShorterThanTheStub) {
    std::vector<uint8_t> program = Program(kqtest::SoundPackage());
    const kq::PackageRecord last = kq::WalkPackage(program).records.at(2);
    const uint32_t bound = static_cast<uint32_t>(kq::MaxDecodedSize(static_cast<uint32_t>(last.stream.size())));
    for (size_t i = 0; i < 4; ++i) program[last.offset + 14 + last.stored_name.size() + i] = static_cast<uint8_t>(bound >> (8 * i));
    EXPECT_EQ(kq::WalkPackage(program).records.size(), 3u);

    const std::vector<uint8_t> stub_only(kq::kStubLength, 0);
    EXPECT_TRUE(kq::WalkPackage(stub_only).error.empty() && kq::WalkPackage(stub_only).records.empty());
    EXPECT_NE(kq::WalkPackage(std::vector<uint8_t>(kq::kStubLength - 1, 0)).error, "");
}

// Decoding a stream again finds what the record walk cannot: a stream that
// runs out of code before its stated size, one that gives more, and bytes
// other than the source's.
TEST(StreamCheck, FindsCutDamagedAndWrongStreams) {
    const std::string text = "Decoded again, as the installer decodes it. Decoded again, and again.";
    const std::vector<uint8_t> source(text.begin(), text.end());
    const std::vector<uint8_t> coded = kq::lzhuf::Encode(source);
    const std::span<const uint8_t> stream = std::span(coded).subspan(4);
    std::vector<uint8_t> flipped(stream.begin(), stream.end());
    flipped[flipped.size() / 2] ^= 0x10;
    std::vector<uint8_t> other = source;
    other[40] = '!';
    const auto size = static_cast<uint32_t>(source.size());
    EXPECT_EQ(kq::StreamProblem(stream, size), "");
    EXPECT_EQ(kq::StreamDifference(stream, source), "");
    EXPECT_EQ(kq::StreamProblem(stream.first(stream.size() - 3), size).find("its code ends before"), 0u);
    EXPECT_EQ(kq::StreamProblem(stream, size + 40).find("its code ends before"), 0u);
    EXPECT_EQ(kq::StreamDifference(stream, other), "it decodes to other bytes from byte 40");
    EXPECT_NE(kq::StreamDifference(flipped, source), "");
}

// One rule for the installer and the packaging tool: names that leave the
// install folder, name no file or a device, or would log an empty folder.
TEST(StoredName, TheInstallersRuleRefusesWhatCouldLeaveTheFolderOrEmptyTheLog) {
    using kq::StoredNameFault;
    const std::pair<std::string, StoredNameFault> rows[] = {
        {"a.txt", StoredNameFault::kNone}, {"sub\\deep\\f.dat", StoredNameFault::kNone},
        {".hidden\\f..", StoredNameFault::kNone}, {"console", StoredNameFault::kNone},
        {"", StoredNameFault::kEmpty}, {"\\a.txt", StoredNameFault::kAbsolute},
        {"c:a.txt", StoredNameFault::kDrive}, {"sub\\", StoredNameFault::kEmptyPart},
        {"...\\a.txt", StoredNameFault::kDotsAndBlanks}, {".. \\b.txt", StoredNameFault::kDotsAndBlanks},
        {"sub\\.", StoredNameFault::kDotsAndBlanks}, {"a/../b", StoredNameFault::kBadCharacter},
        {"ab:stream", StoredNameFault::kBadCharacter}, {std::string("a\0b", 3), StoredNameFault::kBadCharacter},
        {"x\\LPT9", StoredNameFault::kDeviceName}, {"Aux .log", StoredNameFault::kDeviceName},
    };
    for (const auto& [name, fault] : rows)
        EXPECT_EQ(kq::CheckStoredName(name.data(), name.size()).fault, fault) << name;
}

// A package with its integrity record verifies, also with a code signature's
// certificate table after it; every spoiled copy does not.
TEST(PackageVerify, PassesTheSoundAndSignedAndRefusesEverySpoiledCopy) {
    std::string stub(kq::kStubLength, '\0');
    stub[0x3C] = '\x80';  // a PE32 header whose certificate entry (at 0x118) names a table at the end
    stub[0x98] = '\x0B', stub[0x99] = '\x01';
    const std::string sound = kqtest::WithIntegrityRecord(stub, {{"kqsetup.inf", "[Install]\r\n"}, {"License.txt", "x"}});
    std::string signed_program = sound + std::string(16, 'C');
    for (int i = 0; i < 4; ++i) {
        signed_program[0x118 + i] = static_cast<char>(sound.size() >> (8 * i));
        signed_program[0x11C + i] = static_cast<char>(16 >> (8 * i));
    }
    EXPECT_EQ(sound.size() % 8, 0u);
    for (const std::string& program : {sound, signed_program})
        EXPECT_EQ(kq::VerifyPackage(std::vector<uint8_t>(program.begin(), program.end())), std::vector<std::string>{});
    for (const kqtest::DamagedPackage& spoiled : kqtest::SpoiledPrograms(stub))
        EXPECT_FALSE(kq::VerifyPackage(std::vector<uint8_t>(spoiled.package.begin(), spoiled.package.end())).empty())
            << spoiled.name;
}

// The zip CRC-32's check value, and the CRC of bit-by-bit division for every
// start alignment, length and split point, as the extractor feeds it in
// pieces of any size.
TEST(Crc32, GivesTheCheckValueHoweverTheBytesAreAlignedAndSplit) {
    kq::Crc32Table table;
    kq::MakeCrc32Table(table);
    const std::string check = "123456789";
    EXPECT_EQ(kq::Crc32(table, 0, reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
    std::vector<uint8_t> bytes(40);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 151 + 7);
    for (size_t from = 0; from < 4; ++from) {
        uint32_t bitwise = ~0u;
        for (size_t to = from; to <= bytes.size(); ++to) {
            for (size_t split = from; split <= to; ++split) {
                const uint32_t first = kq::Crc32(table, 0, bytes.data() + from, split - from);
                EXPECT_EQ(kq::Crc32(table, first, bytes.data() + split, to - split), ~bitwise) << from << " " << to;
            }
            if (to == bytes.size()) break;
            bitwise ^= bytes[to];
            for (int k = 0; k < 8; ++k) bitwise = bitwise & 1 ? 0xEDB88320u ^ (bitwise >> 1) : bitwise >> 1;
        }
    }
}

TEST(DosAttributes, KeepArchiveSystemHiddenReadOnlyAndFallBackToNormal) {
    const std::pair<uint8_t, uint32_t> rows[] = {{0x20, 0x20}, {0x21, 0x21}, {0x27, 0x27}, {0x06, 0x06}, {0x00, 0x80},
                                                 {0x10, 0x80}, {0x08, 0x80}, {0x18, 0x80}, {0x30, 0x20}, {0x19, 0x01}, {0x3F, 0x27}};
    for (const auto& [dos, windows] : rows) EXPECT_EQ(kq::FileAttributesFromDos(dos), windows) << int{dos};
}

}  // namespace
