// Installing the package files and registering the DLLs the script names.
#pragma once

#include <windows.h>

#include "startup/text_buffers.h"

namespace kq {

// Extracts [Install] FileNum package records in mode 6, each under the install
// folder. Returns 1 when all were installed (or there were none), else 0.
[[nodiscard]] int InstallPackageFiles(const SetupContext& context);

// For each [Install] dll key up to the first missing one: records the DLL's
// path under the [Uninstall] dll key of the same letter and starts its
// registration. A path too long for the log is neither recorded nor started.
void RegisterScriptDlls(const SetupContext& context);

}  // namespace kq
