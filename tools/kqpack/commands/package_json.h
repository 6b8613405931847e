// `kqpack list --json`: the package's records as JSON, each file record with
// the uninstall-log key it will take and its copy mode, read from the
// packaged script the way the installer reads it.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace kqpack {

// A JSON string literal of text in the ANSI code page (Windows-1252), with
// every character outside printable ASCII as a \u escape.
std::string JsonString(std::string_view ansi_text);

void ListPackageJson(const std::filesystem::path& setup, std::ostream& out);

}  // namespace kqpack
