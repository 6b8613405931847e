// The setup script and uninstall log: one INI file, staged from the package
// as the setup script and left in the install folder as the uninstall log.
// Its key sequences and the install's recording of its keys.
#pragma once

#include <windows.h>

#include "script/key_names.h"
#include "script/section_image.h"

namespace kq {

// The files an installation leaves behind: the log and the licence in the
// install folder, the uninstaller in the Windows folder. A program whose path
// ends in the uninstaller's name runs as the uninstaller.
inline constexpr char kLogFileName[] = "Uninstal.inf";
inline constexpr char kLicenceFileName[] = "License.txt";
inline constexpr char kUninstallerName[] = "Dizizev3.exe";

// ---- key sequences ---------------------------------------------------------------
// Keys named by key_names.h; a sequence ends at its first missing or empty key.

// Reads key `number` of the sequence `stem` in either form. Returns the
// characters read (0: missing or empty, the end of the sequence).
DWORD ReadSequenceKey(const char* section, const char* stem, unsigned number, char* buffer, DWORD size,
                      const char* path);

// The folders above the install folder that the install created, deepest
// first, under their own key sequence in [Uninstall].
inline constexpr char kAboveStem[] = "made";

// Reads of values keep at most 254 characters (a 255-character buffer).
inline constexpr DWORD kValueReadSize = 255;

// The value of a file key whose file the install found and kept: the mark,
// then the path. '<' and '>' cannot stand in a file name, so deleting the
// value as a path fails, in any uninstaller; ours passes such values over.
inline constexpr char kKeptMark[] = "<kept under copy mode 3> ";
inline constexpr char kNotOverwrittenMark[] = "<kept, not overwritten> ";
inline constexpr char kKeptMarkStart = '<';

// The path a log value names: for a kept file, the path after its mark.
const char* ListedPath(const char* value);

// ---- the install's keys in [Uninstall] of the setup script ------------------------------
// The install gathers what it records in memory, from [Uninstall] as the
// author wrote it, and writes the section back once (SaveInstallLog).
// Written only through the functions below, from OpenInstallLog on.
struct InstallLog {
    SectionImage uninstall;  // [Uninstall] of the setup script
    SectionImage copymode;   // [Copymode], read only
    SectionImage listed;     // every path and folder recorded, as names (ListedPath)
    unsigned file_number;    // the file key the next recorded file takes
    unsigned dire_number;    // the dire key the next recorded folder takes
    bool failed;             // a key could not be recorded: memory ran out
};
extern InstallLog g_install_log;

// Reads both sections of the setup script. Returns 0 when memory runs out.
[[nodiscard]] int OpenInstallLog(const char* script_path);

// Writes [Uninstall] back to the setup script, and lets both images go.
// Returns 0 when a key could not be recorded (the log would be incomplete).
int SaveInstallLog(const char* script_path);

// Moves the file number on to the first free file key (missing or empty).
void SkipTakenFileKeys();

// Records `value` under the first free key of `stem` from `number` on, and
// moves `number` past it; the key's name goes into `key` (kKeyNameSize).
// The path it names goes into the install log's `listed`.
void RecordSequenceValue(const char* stem, unsigned& number, const char* value, char* key);

// Records `path` under the next free file key.
void RecordFileKey(const char* path);

// Sets a named [Uninstall] value (dir, linkdir, a file key set again).
void RecordUninstallValue(const char* key, const char* value);

}  // namespace kq
