// Folder trees with plain calls only, for the benchmark's reference delete:
// what lies under a folder, and deleting what a list names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kqbench {

struct TreeList {
    std::vector<std::string> files;
    std::vector<std::string> folders;  // children before their parents, the root last
    uint64_t bytes = 0;
};

// Everything under `root`, and `root` itself; empty when it does not exist.
TreeList ListTree(const std::string& root);

// DeleteFileA for each file, then RemoveDirectoryA for each folder in order.
// Returns false when a call fails.
bool DeleteListed(const TreeList& list);

}  // namespace kqbench
