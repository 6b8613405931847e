// Test records, and packages whose third record is damaged one way each and a
// sound one of the same shape: shared by the native package tests, the fuzz seeds and the
// stub's extractor test, so every reader is held to the same cases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kqtest {

// One package record, coded with the real encoder.
struct Record {
    std::string name = {};  // stored name
    std::string contents = {};
    uint8_t attributes = 0x20;
    uint16_t dos_date = (2024 - 1980) << 9 | 6 << 5 | 15;  // 2024-06-15
    uint16_t dos_time = 10 << 11 | 30 << 5;                // 10:30:00
};
std::string EncodeRecord(const Record& record);

struct DamagedPackage {
    std::string name;
    std::string package;  // the bytes that follow the 43008-byte stub, or a whole program
};

// Records 0 (a valid setup script) and 1 (a licence) are sound; record 2 is
// damaged: a length below the fixed fields, past the end of the file or
// wrapping past 4 GiB, a name running past the record, a stated size beyond
// what its stream could hold, or a header cut short.
std::vector<DamagedPackage> DamagedPackages();

// The same three records, all sound: the contrast case.
std::string SoundPackage();

// `stub` followed by the records and an integrity record, as kqpack builds it.
std::string WithIntegrityRecord(const std::string& stub, const std::vector<Record>& records);

// Whole programs (`stub` and a package with an integrity record) spoiled
// one way each: a byte flipped in each record, or cut short in a record's
// header, in its stream, exactly before the integrity record, one byte short.
std::vector<DamagedPackage> SpoiledPrograms(const std::string& stub);

}  // namespace kqtest
