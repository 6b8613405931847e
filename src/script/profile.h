// Access to the setup script and uninstall log, an INI file always named by
// its full path, through the platform's private-profile functions.
#pragma once

#include <windows.h>

namespace kq {

inline constexpr char kInstallSection[] = "Install";
inline constexpr char kLinksSection[] = "Links";
inline constexpr char kCopymodeSection[] = "Copymode";
inline constexpr char kUninstallSection[] = "Uninstall";

// Reads with the empty default: 0 means the key is missing or empty. At most
// size - 1 characters are kept.
DWORD ReadProfileText(const char* section, const char* key, char* buffer, DWORD size, const char* path);

UINT ReadProfileInt(const char* section, const char* key, int default_value, const char* path);

// A plain write, not flushed.
void WriteProfileText(const char* section, const char* key, const char* value, const char* path);

// Writes and then flushes the platform's cached copy of the file to disk.
void WriteAndFlush(const char* section, const char* key, const char* value, const char* path);

}  // namespace kq
