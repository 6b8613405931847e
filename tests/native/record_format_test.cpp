// Record layout, bounds and metadata conversions, and walking whole packages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "package/package_reader.h"
#include "package/record_format.h"

namespace {

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// A record of 18 + name + stream bytes whose stream bytes are not LZHUF code:
// walking never decodes, so any bytes will do.
std::vector<uint8_t> RawRecord(const std::string& name, uint32_t stream_length, uint32_t size = 0) {
    std::vector<uint8_t> r(18 + name.size() + stream_length, 0xA5);
    r[0] = 'K';
    r[1] = 'Q';
    r[2] = '1';
    r[3] = 0;
    PutU32(r, 4, static_cast<uint32_t>(r.size()));
    r[8] = 0x34;  // date 0x1234
    r[9] = 0x12;
    r[10] = 0x78;  // time 0x5678
    r[11] = 0x56;
    r[12] = 0x21;
    r[13] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), r.begin() + 14);
    PutU32(r, 14 + name.size(), size);
    return r;
}

std::vector<uint8_t> Stub() {
    std::vector<uint8_t> stub(kq::kStubLength);
    for (size_t i = 0; i < stub.size(); ++i) stub[i] = static_cast<uint8_t>(i * 7 + 3);
    return stub;
}

// Stub plus records of 240, 995 and 79 bytes.
std::vector<uint8_t> ThreeRecordProgram() {
    std::vector<uint8_t> program = Stub();
    for (const auto& r : {RawRecord("kqsetup.inf", 211, 500), RawRecord("License.txt", 966, 2000),
                          RawRecord("readme.txt", 51, 100)})
        program.insert(program.end(), r.begin(), r.end());
    return program;
}

TEST(RecordBounds, RefusesLengthsBelowTheFixedFields) {
    EXPECT_FALSE(kq::RecordFitsFile(kq::kStubLength, 0, 50000));
    EXPECT_FALSE(kq::RecordFitsFile(kq::kStubLength, 17, 50000));
    EXPECT_TRUE(kq::RecordFitsFile(kq::kStubLength, 18, 50000));
}

TEST(RecordBounds, RefusesRecordsReachingPastTheEndWithoutWrapping) {
    EXPECT_TRUE(kq::RecordFitsFile(43008, 240, 43248));
    EXPECT_FALSE(kq::RecordFitsFile(43008, 241, 43248));
    // cursor + length wraps to a small number in 32 bits.
    EXPECT_FALSE(kq::RecordFitsFile(43008, 0xFFFFFFFFu, 0xFFFFFFFFu));
    EXPECT_FALSE(kq::RecordFitsFile(0xFFFFFF00u, 0x200, 0xFFFFFFFFu));
}

TEST(ParseRecordBuffer, ReadsFieldsFromTheLengthFieldOn) {
    const std::vector<uint8_t> record = RawRecord("kqsetup.inf", 211, 10000);
    ASSERT_EQ(record.size(), 240u);
    kq::RecordFields f{};
    ASSERT_EQ(kq::ParseRecordBuffer(record.data() + 4, 236, f), 1);
    EXPECT_EQ(f.record_length, 240u);
    EXPECT_EQ(f.dos_date, 0x1234);
    EXPECT_EQ(f.dos_time, 0x5678);
    EXPECT_EQ(f.attributes, 0x21);
    ASSERT_EQ(f.name_length, 11);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.name), 11), "kqsetup.inf");
    EXPECT_EQ(f.uncompressed_size, 10000u);
    EXPECT_EQ(f.stream, record.data() + 29);
    EXPECT_EQ(f.stream_length, 211u);
}

TEST(ParseRecordBuffer, RefusesNameOrSizeThatDoesNotFit) {
    // Exact fit: the size field ends the record, the stream is empty.
    std::vector<uint8_t> record = RawRecord("abc", 0);
    kq::RecordFields f{};
    ASSERT_EQ(kq::ParseRecordBuffer(record.data() + 4, static_cast<uint32_t>(record.size() - 4), f), 1);
    EXPECT_EQ(f.stream_length, 0u);

    // The stated name length pushes the size field one byte past the end.
    record[13] = 4;
    EXPECT_EQ(kq::ParseRecordBuffer(record.data() + 4, static_cast<uint32_t>(record.size() - 4), f), 0);
    record[13] = 255;
    EXPECT_EQ(kq::ParseRecordBuffer(record.data() + 4, static_cast<uint32_t>(record.size() - 4), f), 0);
    // Shorter than the fixed fields at all.
    EXPECT_EQ(kq::ParseRecordBuffer(record.data() + 4, 13, f), 0);
}

TEST(DosAttributes, KeepArchiveSystemHiddenAndReadOnly) {
    EXPECT_EQ(kq::FileAttributesFromDos(0x20), 0x20u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x21), 0x21u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x27), 0x27u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x01), 0x01u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x06), 0x06u);
}

TEST(DosAttributes, DropDirectoryAndVolumeBitsAndFallBackToNormal) {
    EXPECT_EQ(kq::FileAttributesFromDos(0x00), 0x80u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x10), 0x80u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x08), 0x80u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x18), 0x80u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x30), 0x20u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x19), 0x01u);
    EXPECT_EQ(kq::FileAttributesFromDos(0x3F), 0x27u);
}

constexpr uint16_t Date(unsigned y, unsigned m, unsigned d) {
    return static_cast<uint16_t>((y - 1980) << 9 | m << 5 | d);
}
constexpr uint16_t Time(unsigned h, unsigned m, unsigned s) {
    return static_cast<uint16_t>(h << 11 | m << 5 | s / 2);
}

void ExpectShift(uint16_t date, uint16_t time, uint16_t want_date, uint16_t want_time) {
    const kq::DosTimestamp got = kq::ShiftStoredTime(date, time);
    EXPECT_EQ(got.dos_date, want_date) << std::hex << "date 0x" << date << " time 0x" << time;
    EXPECT_EQ(got.dos_time, want_time) << std::hex << "date 0x" << date << " time 0x" << time;
}

TEST(StoredTime, AddsSixHoursWithinTheDay) {
    ExpectShift(Date(2003, 5, 17), Time(16, 6, 2), Date(2003, 5, 17), Time(22, 6, 2));
    ExpectShift(Date(2003, 5, 17), Time(0, 0, 0), Date(2003, 5, 17), Time(6, 0, 0));
    ExpectShift(Date(2003, 5, 17), Time(17, 59, 58), Date(2003, 5, 17), Time(23, 59, 58));
}

TEST(StoredTime, PassingMidnightMovesToTheNextDayMonthAndYear) {
    ExpectShift(Date(1999, 12, 31), Time(20, 15, 0), Date(2000, 1, 1), Time(2, 15, 0));
    ExpectShift(Date(2003, 5, 17), Time(18, 0, 0), Date(2003, 5, 18), Time(0, 0, 0));
    ExpectShift(Date(2003, 4, 30), Time(23, 59, 58), Date(2003, 5, 1), Time(5, 59, 58));
    ExpectShift(Date(2003, 1, 31), Time(19, 1, 30), Date(2003, 2, 1), Time(1, 1, 30));
    // There is no next day after the last DOS date: the stored time stays.
    ExpectShift(Date(2107, 12, 30), Time(20, 0, 0), Date(2107, 12, 31), Time(2, 0, 0));
    ExpectShift(Date(2107, 12, 31), Time(20, 0, 0), Date(2107, 12, 31), Time(20, 0, 0));
}

TEST(StoredTime, LeapDaysFollowTheGregorianRules) {
    ExpectShift(Date(2004, 2, 28), Time(21, 0, 0), Date(2004, 2, 29), Time(3, 0, 0));
    ExpectShift(Date(2004, 2, 29), Time(21, 0, 0), Date(2004, 3, 1), Time(3, 0, 0));
    ExpectShift(Date(2003, 2, 28), Time(21, 0, 0), Date(2003, 3, 1), Time(3, 0, 0));
    ExpectShift(Date(2000, 2, 28), Time(21, 0, 0), Date(2000, 2, 29), Time(3, 0, 0));
    ExpectShift(Date(2100, 2, 28), Time(21, 0, 0), Date(2100, 3, 1), Time(3, 0, 0));
}

TEST(PackageWalk, FindsRecordsBackToBackAfterTheStub) {
    const std::vector<uint8_t> program = ThreeRecordProgram();
    const kq::PackageWalk walk = kq::WalkPackage(program);
    EXPECT_EQ(walk.error, "");
    ASSERT_EQ(walk.records.size(), 3u);
    EXPECT_EQ(walk.records[0].offset, 43008u);
    EXPECT_EQ(walk.records[1].offset, 43248u);
    EXPECT_EQ(walk.records[2].offset, 44243u);
    EXPECT_EQ(walk.records[0].record_length, 240u);
    EXPECT_EQ(walk.records[1].record_length, 995u);
    EXPECT_EQ(walk.records[1].stored_name, "License.txt");
    EXPECT_EQ(walk.records[1].uncompressed_size, 2000u);
    EXPECT_EQ(walk.records[1].stream.size(), 966u);
    EXPECT_EQ(walk.records[1].stream.data(), program.data() + 43248 + 29);
    EXPECT_EQ(walk.records[2].stored_name, "readme.txt");

    // Readers never look at the signature.
    std::vector<uint8_t> unsigned_program = program;
    unsigned_program[43248] = 'X';
    unsigned_program[43248 + 3] = 'Y';
    const kq::PackageWalk again = kq::WalkPackage(unsigned_program);
    EXPECT_EQ(again.error, "");
    EXPECT_EQ(again.records.size(), 3u);
}

TEST(PackageWalk, StubAloneHoldsNoRecordsAndShorterFilesAreRefused) {
    const kq::PackageWalk empty = kq::WalkPackage(Stub());
    EXPECT_EQ(empty.error, "");
    EXPECT_TRUE(empty.records.empty());

    std::vector<uint8_t> short_file = Stub();
    short_file.pop_back();
    EXPECT_NE(kq::WalkPackage(short_file).error, "");
}

TEST(PackageWalk, StopsAtRecordReachingPastEnd) {
    std::vector<uint8_t> program = ThreeRecordProgram();
    program.pop_back();
    const kq::PackageWalk walk = kq::WalkPackage(program);
    EXPECT_EQ(walk.records.size(), 2u);
    EXPECT_NE(walk.error.find("record 2 at offset 44243"), std::string::npos) << walk.error;

    program = ThreeRecordProgram();
    PutU32(program, 43248 + 4, 0xFFFFFFFFu);
    const kq::PackageWalk huge = kq::WalkPackage(program);
    EXPECT_EQ(huge.records.size(), 1u);
    EXPECT_NE(huge.error.find("record 1 at offset 43248"), std::string::npos) << huge.error;
}

TEST(PackageWalk, StopsAtRecordShorterThanItsFixedFields) {
    for (uint32_t length : {0u, 4u, 17u}) {
        std::vector<uint8_t> program = ThreeRecordProgram();
        PutU32(program, 43248 + 4, length);
        const kq::PackageWalk walk = kq::WalkPackage(program);
        EXPECT_EQ(walk.records.size(), 1u) << length;
        EXPECT_NE(walk.error.find("record 1 at offset 43248"), std::string::npos) << walk.error;
    }
}

TEST(PackageWalk, StopsAtTruncatedHeaderAndAtNameRunningPastRecord) {
    std::vector<uint8_t> program = ThreeRecordProgram();
    program.resize(44243 + 7);
    kq::PackageWalk walk = kq::WalkPackage(program);
    EXPECT_EQ(walk.records.size(), 2u);
    EXPECT_NE(walk.error.find("record 2 at offset 44243"), std::string::npos) << walk.error;

    program = ThreeRecordProgram();
    program[44243 + 13] = 200;  // the third record is 79 bytes long
    walk = kq::WalkPackage(program);
    EXPECT_EQ(walk.records.size(), 2u);
    EXPECT_NE(walk.error.find("record 2 at offset 44243"), std::string::npos) << walk.error;
}

}  // namespace
