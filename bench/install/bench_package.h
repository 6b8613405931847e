// The install benchmark's package: 150 generated files of 64 MiB in all, a
// third each of text, binary-like tables and incompressible bytes, a quarter
// of them in subfolders, with the setup script and licence in front.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kqbench {

inline constexpr int kFileCount = 150;
inline constexpr uint64_t kTotalBytes = 64ull << 20;
inline constexpr char kAppName[] = "KQ Install Bench";

struct BenchFile {
    std::string stored_name;
    std::string kind;  // text, binary or random
    uint32_t size;
};

// The files in package order; the same on every run.
std::vector<BenchFile> BenchFiles();

// The package records (script, licence, files) as they follow the stub.
// Encoding takes a while, so they are kept in `cache_path` and reused while
// the generator's version is the same.
std::string BenchPackage(const std::string& cache_path);

// Offsets of the records in `package`, walked by their record lengths.
std::vector<size_t> RecordOffsets(const std::string& package);

}  // namespace kqbench
