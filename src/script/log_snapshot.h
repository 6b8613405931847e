// A private copy of the uninstall log for the uninstaller to read from. The
// log lists itself among the files to delete, and the profile functions read
// the file anew on every call, so without the copy every read after that
// deletion would come back empty and leave directories, the Start-menu folder
// and registry subkeys behind.
#pragma once

namespace kq {

struct LogSnapshot {
    char path[260];  // where reads go: the copy, or the log itself if no copy could be made
    bool is_copy;
};

// Copies the log at `log_path` into the temp folder. When no copy can be made
// the snapshot reads the log itself, as a plain reader would.
void TakeLogSnapshot(LogSnapshot& snapshot, const char* log_path);

// Deletes the copy, if one was made.
void ReleaseLogSnapshot(LogSnapshot& snapshot);

}  // namespace kq
