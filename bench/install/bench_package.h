// The install benchmark's packages: generated files, a third each of text,
// binary-like tables and incompressible bytes, in a tree of nested folders,
// with the setup script and licence in front. One generator, shaped by the
// file count, the total size and the folder tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kqbench {

inline constexpr char kAppName[] = "KQ Install Bench";

// A package's shape. The folders form a tree: `top` folders under the install
// folder, each with `children`, each of those with `grandchildren`; the files
// are spread over the install folder and every folder, in blocks.
struct BenchShape {
    int file_count;
    uint64_t total_bytes;
    int top;
    int children;
    int grandchildren;

    int FolderCount() const { return top * (1 + children * (1 + grandchildren)); }
    std::string Label() const;  // "150 files, 64 MiB"
};

struct BenchFile {
    std::string stored_name;
    std::string kind;  // text, binary or random
    uint32_t size;
};

// The files in package order, a folder's files together, parents first;
// the same on every run.
std::vector<BenchFile> BenchFiles(const BenchShape& shape);

// The package records (script, licence, files) as they follow the stub.
// Encoding takes a while, so they are kept in `cache_folder` under a name of
// the shape, and reused while the shape and the generator's version match.
std::string BenchPackage(const BenchShape& shape, const std::string& cache_folder);

// Offsets of the records in `package`, walked by their record lengths.
std::vector<size_t> RecordOffsets(const std::string& package);

}  // namespace kqbench
