// Whole-file reads, all-or-nothing writes and paths from text for the
// packaging tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kqpack {

// Thrown for input the tool refuses; main turns it into "kqpack: what: why".
struct InputError {
    std::string message;
};

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`,
// so a failure never leaves a half-written output behind. A read-only `path`
// is refused before anything is written.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         bool executable);

// Text naming a path (an argument, a project file's value: UTF-8 on
// Windows, bytes on POSIX) as a path. Throws InputError for "C:name" and
// "\name", which Windows resolves against the current drive and its
// current folder.
std::filesystem::path PathFromText(std::string_view text);

// A file name given as text in the bytes the installer will use for it.
// Throws InputError naming the file when the ANSI code page lacks one of
// its characters.
std::string InstallerNameOf(std::string_view name);

}  // namespace kqpack
