// Building (and checking) a package from a project file: the files expanded,
// FileNum and [Copymode] written into the packaged script, the result
// checked, and the package written only when the check passes.
#pragma once

#include <filesystem>
#include <ostream>
#include <vector>

#include "check/setup_check.h"
#include "project/project_file.h"
#include "project/script_rewrite.h"

namespace kqpack {

struct PreparedProject {
    Project project;
    std::vector<ProjectFile> files;
    GeneratedScript script;  // the packaged copy of the setup script
    SetupUnderCheck setup;   // what the checker is given
};

// Reads the project and everything it names except the stub; writes nothing.
PreparedProject PrepareProject(const std::filesystem::path& project_file);

struct ProjectBuildOptions {
    std::filesystem::path project;
    std::filesystem::path stub;    // overrides [Project] stub when not empty
    std::filesystem::path output;  // overrides [Project] output when not empty
    std::string sign_command;      // overrides [Project] sign when not empty
    bool quiet = false;            // no summary line
    bool strict = false;
};

// Prints the check's findings to `findings`; throws InputError when the
// check refuses or an input is missing, leaving any earlier output alone.
void BuildProject(const ProjectBuildOptions& options, std::ostream& findings);

}  // namespace kqpack
