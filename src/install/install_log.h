// The install sequence's entries in the [Uninstall] section of the setup
// script: the process-wide dll and file key letters and the recording of
// each file key on the next letter.
#pragma once

namespace kq {

// Both start at 'a'. Written only by the install sequence.
extern unsigned g_dll_letter;
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

}  // namespace kq
