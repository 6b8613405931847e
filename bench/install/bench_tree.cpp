// Folder trees walked and deleted with plain calls.
#include "bench_tree.h"

#include <windows.h>

#include "harness/harness.h"

namespace kqbench {

TreeList ListTree(const std::string& root) {
    TreeList list;
    const DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return list;
    kqh::WalkTree(root, [&](const std::string& path, const WIN32_FIND_DATAA& found) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            list.folders.push_back(path);
        } else {
            list.files.push_back(path);
            list.bytes += static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        }
    });
    list.folders.push_back(root);
    return list;
}

bool DeleteListed(const TreeList& list) {
    bool deleted = true;
    for (const std::string& file : list.files) deleted &= DeleteFileA(file.c_str()) != FALSE;
    for (const std::string& folder : list.folders) deleted &= RemoveDirectoryA(folder.c_str()) != FALSE;
    return deleted;
}

}  // namespace kqbench
