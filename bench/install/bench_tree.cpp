// Folder trees walked and deleted with plain calls.
#include "bench_tree.h"

#include <windows.h>

namespace kqbench {
namespace {

void Walk(const std::string& folder, TreeList& list) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Walk(folder + "\\" + name, list);
        } else {
            list.files.push_back(folder + "\\" + name);
            list.bytes += static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    list.folders.push_back(folder);
}

}  // namespace

TreeList ListTree(const std::string& root) {
    TreeList list;
    const DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) Walk(root, list);
    return list;
}

bool DeleteListed(const TreeList& list) {
    bool deleted = true;
    for (const std::string& file : list.files) deleted &= DeleteFileA(file.c_str()) != FALSE;
    for (const std::string& folder : list.folders) deleted &= RemoveDirectoryA(folder.c_str()) != FALSE;
    return deleted;
}

}  // namespace kqbench
