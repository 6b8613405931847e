// The uninstall log's temporary copy.
#include "log_snapshot.h"

#include <windows.h>

#include "startup/bounded_text.h"

namespace kq {

void TakeLogSnapshot(LogSnapshot& snapshot, const char* log_path) {
    snapshot.is_copy = false;
    if (!CopyText(snapshot.path, sizeof snapshot.path, log_path)) snapshot.path[0] = '\0';
    if (snapshot.path[0] == '\0' || GetFileAttributesA(log_path) == INVALID_FILE_ATTRIBUTES) return;

    char temp_folder[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temp_folder, temp_folder);
    if (length == 0 || length >= sizeof temp_folder) return;
    char copy_path[MAX_PATH];
    // A fresh, uniquely named file: a second uninstaller never shares it.
    if (GetTempFileNameA(temp_folder, "kql", 0, copy_path) == 0) return;
    if (!CopyFileA(log_path, copy_path, FALSE) || !CopyText(snapshot.path, sizeof snapshot.path, copy_path)) {
        DeleteFileA(copy_path);
        return;
    }
    // A read-only log gives a read-only copy, which could not be deleted later.
    SetFileAttributesA(copy_path, FILE_ATTRIBUTE_NORMAL);
    snapshot.is_copy = true;
}

void ReleaseLogSnapshot(LogSnapshot& snapshot) {
    if (snapshot.is_copy) DeleteFileA(snapshot.path);
    snapshot.is_copy = false;
}

}  // namespace kq
