// What a scenario reads from and clears in the file system.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kqe2e {

bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// The names in a folder (files and folders, without "." and ".."), sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
// Last-write time as stored, in 100 ns units; 0 if the file cannot be opened.
ULONGLONG LastWriteTime(const std::string& path);
// The file time of a date and time as given (no time zone conversion).
ULONGLONG FileTimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);
// A readable "YYYY-MM-DD hh:mm:ss" for a file time, for failure messages.
std::string FormatFileTime(ULONGLONG time);
// Deletes a folder with everything in it, read-only files included.
void RemoveTree(const std::string& path);

}  // namespace kqe2e
