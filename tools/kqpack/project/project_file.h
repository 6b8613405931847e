// The project file: one INI of our own that names everything a package is
// made of, so that a package is one command. [Project] names the stub, the
// setup script, the licence, the output, the root the files are stored
// relative to and a signing command; [Files] lists files, folders and globs in install order, each
// with an optional copy mode. Paths are relative to the project file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "packing/file_io.h"

namespace kqpack {

struct ProjectEntry {
    std::string pattern;               // a file, a folder or a glob, as written
    std::optional<int32_t> copy_mode;  // none: the installer's default, 1
    size_t line = 0;
};

struct Project {
    std::filesystem::path file;
    std::filesystem::path stub, script, licence, output;  // empty when not given
    std::filesystem::path root;                           // defaults to the project's folder
    std::string sign;                                     // a signing command with {in} and {out}, or empty
    size_t files_line = 0;                                // of the [Files] header
    std::vector<ProjectEntry> entries;
};

// A mistake in a project file, worded as the checker words its findings
// ("p.kqp:11: error: ..."), so that both read alike; main prints it as it is.
struct ProjectFileError : InputError {};

// Reads and validates a project file. Throws ProjectFileError naming the line.
Project LoadProject(const std::filesystem::path& file);

// "replace", "ask", "keep", "windows" or the numbers 1, 2, 3, 8.
std::optional<int32_t> CopyModeFromText(std::string_view text);

struct ProjectFile {
    std::filesystem::path source;
    std::string stored_name;
    int32_t copy_mode = 1;
    Location origin;  // the [Files] line that named it
};

// The files of [Files] in install order: each entry's matches in install order,
// a file matched again by a later entry kept at its first place. Throws
// ProjectFileError for an entry that matches nothing or a name that cannot be stored.
std::vector<ProjectFile> ExpandProjectFiles(const Project& project);

}  // namespace kqpack
