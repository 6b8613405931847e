// The packages the build makes for the scenarios, and what their data says.
#pragma once

#include <windows.h>

#include <string>

namespace kqe2e {

// The Linux path of NAME-setup.exe in the build's package folder.
inline std::string PackagePath(const std::string& name) {
    return std::string(KQ_E2E_PACKAGE_DIR) + "/" + name + "-setup.exe";
}

// A file of the tests' data folder, read from the Windows side.
std::string DataFile(const std::string& relative_path);
// A file as the build staged it for packing into NAME-setup.exe.
std::string StagedFile(const std::string& package_name, const std::string& relative_path);

// The last-write time an installed file must get: the packaged time
// (KQ_E2E_FILE_TIME) with six hours added, as a file time.
ULONGLONG InstalledFileTime();

}  // namespace kqe2e
