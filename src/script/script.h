// The setup script and uninstall log: one INI file, staged from the package
// as the setup script and left in the install folder as the uninstall log.
// Its lettered keys, the install's recording of file keys, and the
// uninstaller's private copy of it.
#pragma once

#include <windows.h>

namespace kq {

// The files an installation leaves behind: the log and the licence in the
// install folder, the uninstaller in the Windows folder. A program whose path
// ends in the uninstaller's name runs as the uninstaller.
inline constexpr char kLogFileName[] = "Uninstal.inf";
inline constexpr char kLicenceFileName[] = "License.txt";
inline constexpr char kUninstallerName[] = "Dizizev3.exe";

// ---- lettered keys ----------------------------------------------------------------
// A stem followed by one key letter that counts up by byte value from 'a'
// ('z' is followed by '{', '|', ... up to 0xFF). The letter never wraps, so a
// stem has room for 159 keys.
inline constexpr unsigned kFirstKeyLetter = 'a';
inline constexpr unsigned kLastKeyLetter = 0xFF;

// Reads of free-key probes by the record extractor keep 63 characters;
// every other read keeps 254 (a 255-character buffer).
inline constexpr DWORD kProbeReadSize = 64;
inline constexpr DWORD kValueReadSize = 255;

struct LetteredKey {
    char text[16];  // the longest stem is "linkfile"
};

// Returns 0 when the stem is too long for a key (never the case for ours).
[[nodiscard]] int MakeLetteredKey(LetteredKey& key, const char* stem, unsigned letter);

// Reads stem + letter. Returns the characters read (0: missing or empty).
DWORD ReadLetteredKey(const char* section, const char* stem, unsigned letter, char* buffer, DWORD size,
                      const char* path);

// The first letter from `start` on whose key reads empty. Returns 0 when
// every letter up to 0xFF is taken (the sequence is full), else 1.
[[nodiscard]] int FindFirstFreeLetter(const char* section, const char* stem, unsigned start, DWORD read_size,
                                      const char* path, unsigned& letter);

// The first free lettered key from 'a', found as a scan from 'a' finds it,
// but starting where an earlier scan of the same file in this process found
// every letter below taken. Placement scans [Uninstall] from "filea" and
// "direa" for every installed file; without the memo each scan re-reads the
// growing log from the start, which made those reads most of an installation.
// One memo per stem and file; zero-initialised data is a valid memo.
struct FirstFreeMemo {
    char path[MAX_PATH];  // the file the memo is about; another path starts afresh
    unsigned start;       // every letter below it was read taken
};

// The letter a scan from 'a' would find (FindFirstFreeLetter). Valid while
// this process alone adds keys to the file and none is emptied or removed,
// as during an installation; a file replaced by a shorter one is noticed by
// re-reading the letter below the start, which must still be taken.
[[nodiscard]] int FindFirstFreeLetterRemembering(FirstFreeMemo& memo, const char* section, const char* stem,
                                                 DWORD read_size, const char* path, unsigned& letter);

// The value of a file key whose file the install found and kept: the mark,
// then the path. '<' and '>' cannot stand in a file name, so deleting the
// value as a path fails, in any uninstaller; ours passes such values over.
inline constexpr char kKeptMark[] = "<kept under copy mode 3> ";
inline constexpr char kNotOverwrittenMark[] = "<kept, not overwritten> ";
inline constexpr char kKeptMarkStart = '<';

// ---- the install's file keys in [Uninstall] of the setup script --------------------------
// The current file key letter: 0 (zero-initialised, so it costs the stub's
// file nothing) until SkipTakenFileKeys, which the install sequence calls
// before any other function below; written only through them.
extern unsigned g_file_letter;

// Moves the file letter to the first free file key from where it stands.
// When every letter is taken the letter moves past the last one, and later
// file keys are not written.
void SkipTakenFileKeys();

// Records `path` under the current file key (write and flush). Does nothing
// once the letters have run out: no key is invented.
void RecordFileKey(const char* path);

void AdvanceFileLetter();

// True while the file letter `ahead` letters on from the current one exists.
// A shortcut is only made where its file key can be recorded, so that the
// uninstallation finds every one.
[[nodiscard]] bool FileKeyLeft(unsigned ahead = 0);

// Write and flush of a named [Uninstall] value (dir, linkdir).
void RecordUninstallValue(const char* key, const char* value);

// ---- the uninstaller's copy of the log ------------------------------------------------------
// The log lists itself among the files to delete, and the profile functions
// read the file anew on every call, so without a copy every read after that
// deletion would come back empty and leave directories, the Start-menu folder
// and registry subkeys behind.
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
