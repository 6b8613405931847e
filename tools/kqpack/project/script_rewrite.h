// The packaged copy of the author's setup script, with the keys a project
// build works out written in: FileNum and one [Copymode] key per file. Every
// other line stays as the author wrote it, in its place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "check/profile_text.h"

namespace kqpack {

struct GeneratedScript {
    std::string text;
    std::vector<Location> line_origins;  // per line of `text`: the author's line, or the project's
    std::vector<Finding> notices;        // author keys that were replaced
};

// `file_keys` are the numbers of the file keys the package files take (see
// PlanInstall); each file's [Copymode] key is named as the installer names
// its file key. `author` names the author's script in messages;
// `files_origin` is where the file list lives.
GeneratedScript WriteGeneratedKeys(const ProfileText& script, const std::string& author,
                                   const std::vector<unsigned>& file_keys, const std::vector<int32_t>& copy_modes,
                                   const std::vector<Location>& file_origins, const Location& files_origin);

}  // namespace kqpack
