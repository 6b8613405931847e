// Whole-file reads and all-or-nothing writes for the packaging tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kqpack {

// Thrown for input the tool refuses; main turns it into "kqpack: what: why".
struct InputError {
    std::string message;
};

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`,
// so a failure never leaves a half-written output behind.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         bool executable);

}  // namespace kqpack
