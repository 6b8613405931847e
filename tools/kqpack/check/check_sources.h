// What the checker looks at, gathered from a setup script with the files to
// package, or from a built package (its script, licence and file records).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "check/setup_check.h"

namespace kqpack {

// The script as written, its lines named by `script`'s path; the FILE
// arguments as they would be stored. An empty `licence` path leaves the
// licence unchecked; `files_known` false means no FILE was given.
SetupUnderCheck SetupFromScript(const std::filesystem::path& script, const std::filesystem::path& licence,
                                const std::vector<std::string>& files, bool files_known);

// The script, licence and stored names of a built package. Throws InputError
// for a damaged package or one without a script record.
SetupUnderCheck SetupFromPackage(const std::filesystem::path& program);

// True when the file is a program (MZ) long enough to carry a package.
bool LooksLikePackage(const std::filesystem::path& file);

}  // namespace kqpack
