// Folder trees walked, copied and deleted with plain calls.
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

bool CopyTree(const std::string& from, const std::string& to) {
    const TreeList list = ListTree(from);
    bool copied = !list.folders.empty();
    // Parents first: the folders in reverse, from the root down.
    for (auto folder = list.folders.rbegin(); folder != list.folders.rend(); ++folder)
        copied &= CreateDirectoryA((to + folder->substr(from.size())).c_str(), nullptr) != FALSE;
    for (const std::string& file : list.files)
        copied &= CopyFileA(file.c_str(), (to + file.substr(from.size())).c_str(), TRUE) != FALSE;
    return copied;
}

bool DeleteListed(const TreeList& list) {
    bool deleted = true;
    for (const std::string& file : list.files) deleted &= DeleteFileA(file.c_str()) != FALSE;
    for (const std::string& folder : list.folders) deleted &= RemoveDirectoryA(folder.c_str()) != FALSE;
    return deleted;
}

}  // namespace kqbench
