// Packages for the bad-input cases, built record by record without the
// packaging tool's checks, so that they can be damaged at will.
#pragma once

#include <string>
#include <vector>

#include "support/test_package.h"

namespace kqbad {

kqtest::TestRecord ScriptRecord(const std::string& script);
kqtest::TestRecord LicenceRecord();
kqtest::TestRecord FileRecord(const std::string& stored_name, const std::string& contents);

// The records back to back, as they follow the stub.
std::string PackageOf(const std::vector<kqtest::TestRecord>& records);

}  // namespace kqbad
