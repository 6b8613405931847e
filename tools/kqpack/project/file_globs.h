// Folder globs for the project file's [Files]: '*' and '?' within one name,
// "**" for any number of folders, a folder for everything below it. Matches
// come in one fixed order, so the same tree always gives the same package.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kqpack {

bool HasWildcard(std::string_view pattern);

// The order matches come in: within a folder, the files of its subfolders
// (subfolders in byte order of their names) before its own files (in byte
// order). The uninstaller removes a folder only when it is recorded after its
// subfolders are gone, which a file of its own installed last brings about.
bool InstallOrderLess(std::string_view a, std::string_view b);

// Whether `path` ('/'-separated, relative) matches `pattern`. "**" does not
// pass through names starting with '.', and '*' and '?' do not match a
// leading '.', so hidden files come only when named.
bool GlobMatches(std::string_view pattern, std::string_view path);

// The regular files under `root` that `pattern` names: itself when it names
// a file, everything below it (hidden names left out) when it names a folder,
// or the matches of a wildcard pattern. Paths relative to `root`, with '/',
// in install order (InstallOrderLess). Throws InputError for a pattern leaving `root` or a folder
// that cannot be read.
std::vector<std::string> ExpandPattern(const std::filesystem::path& root, std::string_view pattern);

}  // namespace kqpack
