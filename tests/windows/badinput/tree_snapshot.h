// The sentinel: what a folder tree holds (paths, sizes, times, contents), so
// that a case can tell exactly what a run added, changed or removed there.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kqbad {

struct TreeEntry {
    bool directory = false;
    uint64_t size = 0;
    uint64_t last_write = 0;
    uint64_t content_hash = 0;
    bool operator==(const TreeEntry&) const = default;
};

// Keyed by full path in lower case (names match without regard to case).
using TreeSnapshot = std::map<std::string, TreeEntry>;

// Everything under `root`, except the subtrees whose paths are in `skipped`.
TreeSnapshot TakeTreeSnapshot(const std::string& root, const std::vector<std::string>& skipped = {});

struct TreeChanges {
    std::vector<std::string> added;
    std::vector<std::string> changed;
    std::vector<std::string> removed;
};

TreeChanges CompareTrees(const TreeSnapshot& before, const TreeSnapshot& after);

std::string LowerCase(std::string text);

}  // namespace kqbad
