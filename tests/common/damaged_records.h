// Packages whose third record is damaged one way each, and a sound one of the
// same shape: shared by the native package tests, the fuzz seeds and the
// stub's extractor test, so every reader is held to the same cases.
#pragma once

#include <string>
#include <vector>

namespace kqtest {

struct DamagedPackage {
    std::string name;
    std::string package;  // the bytes that follow the 43008-byte stub
};

// Records 0 (a valid setup script) and 1 (a licence) are sound; record 2 is
// damaged: a length below the fixed fields, past the end of the file or
// wrapping past 4 GiB, a name running past the record, a stated size beyond
// what its stream could hold, or a header cut short.
std::vector<DamagedPackage> DamagedPackages();

// The same three records, all sound: the contrast case.
std::string SoundPackage();

}  // namespace kqtest
