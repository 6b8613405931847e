// The setup checker: what the installer would do with a setup script, its
// licence and its files, told before the package ships. Errors are what
// would break an installation or an uninstallation; warnings are what would
// quietly not happen as the author meant.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "check/check_report.h"

namespace kqpack {

struct PackagedFile {
    std::string stored_name;
    Location origin;  // where the author named it: a project line, an argument, a record
};

struct SetupUnderCheck {
    std::string script_text;  // as it will be packaged
    // Where a line of `script_text` came from (line 0: the script itself).
    std::function<Location(size_t line)> locate_line;
    bool files_known = false;  // false: FileNum is trusted for the count
    std::vector<PackagedFile> files;
    bool licence_known = false;
    Location licence_location;
    std::string licence_text;
    // Findings of whoever gathered this (a missing record, a replaced key),
    // reported first.
    std::vector<Finding> earlier_findings;
};

CheckReport CheckSetup(const SetupUnderCheck& setup);

}  // namespace kqpack
