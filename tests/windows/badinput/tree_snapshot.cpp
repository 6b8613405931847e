// Walking and comparing folder trees.
#include "tree_snapshot.h"

#include <windows.h>

#include <algorithm>

#include "support/wine_paths.h"

namespace kqbad {
namespace {

uint64_t Fnv1a(const std::string& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

bool IsSkipped(const std::string& lower_path, const std::vector<std::string>& skipped) {
    return std::find(skipped.begin(), skipped.end(), lower_path) != skipped.end();
}

void Walk(const std::string& folder, const std::vector<std::string>& skipped, TreeSnapshot& snapshot) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        const std::string key = LowerCase(path);
        if (IsSkipped(key, skipped)) continue;
        TreeEntry entry;
        entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!entry.directory) {
            entry.size = static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
            entry.last_write = static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 |
                               found.ftLastWriteTime.dwLowDateTime;
            // Sentinel files are small; a large one is told apart by size and time.
            if (entry.size <= (1u << 20)) entry.content_hash = Fnv1a(kqtest::ReadBytes(path));
        }
        snapshot[key] = entry;
        if (entry.directory) Walk(path, skipped, snapshot);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

std::string LowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

TreeSnapshot TakeTreeSnapshot(const std::string& root, const std::vector<std::string>& skipped) {
    std::vector<std::string> lower;
    for (const std::string& path : skipped) lower.push_back(LowerCase(path));
    TreeSnapshot snapshot;
    Walk(root, lower, snapshot);
    return snapshot;
}

TreeChanges CompareTrees(const TreeSnapshot& before, const TreeSnapshot& after) {
    TreeChanges changes;
    for (const auto& [path, entry] : after) {
        const auto old = before.find(path);
        if (old == before.end())
            changes.added.push_back(path);
        else if (!(old->second == entry))
            changes.changed.push_back(path);
    }
    for (const auto& [path, entry] : before)
        if (after.find(path) == after.end()) changes.removed.push_back(path);
    return changes;
}

}  // namespace kqbad
