// Package data.
#include "packages.h"

#include <cstdio>

#include "file_state.h"
#include "support/wine_paths.h"

namespace kqe2e {

std::string DataFile(const std::string& relative_path) {
    std::string path = kqtest::WindowsPathOf(std::string(KQ_E2E_DATA_DIR) + "/" + relative_path);
    return kqtest::ReadBytes(path);
}

std::string StagedFile(const std::string& package_name, const std::string& relative_path) {
    return kqtest::ReadBytes(kqtest::WindowsPathOf(std::string(KQ_E2E_PACKAGE_DIR) + "/" + package_name + "-files/" +
                                                   relative_path));
}

ULONGLONG InstalledFileTime() {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(KQ_E2E_FILE_TIME, "%u-%u-%u %u:%u:%u", &year, &month, &day, &hour, &minute, &second);
    // The installer adds six hours to the stored time and converts nothing.
    constexpr ULONGLONG kSixHours = 6ULL * 3600 * 10000000;
    return FileTimeOf(static_cast<WORD>(year), static_cast<WORD>(month), static_cast<WORD>(day),
                      static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second)) +
           kSixHours;
}

}  // namespace kqe2e
