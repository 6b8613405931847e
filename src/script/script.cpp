// The setup script and uninstall log: lettered keys and their first-free
// scans, the install's file-key recording, and the uninstaller's private copy.
#include "script/script.h"

#include <windows.h>

#include "platform/platform.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {

int MakeLetteredKey(LetteredKey& key, const char* stem, unsigned letter) {
    const char suffix[2] = {static_cast<char>(letter), '\0'};
    return CopyText(key.text, sizeof key.text, stem) && AppendText(key.text, sizeof key.text, suffix);
}

DWORD ReadLetteredKey(const char* section, const char* stem, unsigned letter, char* buffer, DWORD size,
                      const char* path) {
    LetteredKey key;
    if (letter < kFirstKeyLetter || letter > kLastKeyLetter || !MakeLetteredKey(key, stem, letter)) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    return ReadProfileText(section, key.text, buffer, size, path);
}

int FindFirstFreeLetter(const char* section, const char* stem, unsigned start, DWORD read_size, const char* path,
                        unsigned& letter) {
    char probe[kValueReadSize];
    if (read_size > sizeof probe) read_size = sizeof probe;
    for (unsigned candidate = start; candidate <= kLastKeyLetter; ++candidate) {
        if (ReadLetteredKey(section, stem, candidate, probe, read_size, path) == 0) {
            letter = candidate;
            return 1;
        }
    }
    return 0;
}

int FindFirstFreeLetterRemembering(FirstFreeMemo& memo, const char* section, const char* stem, DWORD read_size,
                                   const char* path, unsigned& letter) {
    if (memo.path[0] == '\0' || lstrcmpiA(memo.path, path) != 0) {
        // A path too long to remember is scanned from 'a' every time.
        if (!CopyText(memo.path, sizeof memo.path, path)) memo.path[0] = '\0';
        memo.start = kFirstKeyLetter;
    }
    unsigned start = memo.start > kFirstKeyLetter ? memo.start : kFirstKeyLetter;
    if (start > kFirstKeyLetter) {
        char probe[kValueReadSize];
        if (ReadLetteredKey(section, stem, start - 1, probe, read_size < sizeof probe ? read_size : sizeof probe,
                            path) == 0)
            start = kFirstKeyLetter;
    }
    if (!FindFirstFreeLetter(section, stem, start, read_size, path, letter)) return 0;
    // Not past the letter found: a value written there may still read empty.
    if (memo.path[0] != '\0') memo.start = letter;
    return 1;
}

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

unsigned g_file_letter;

void SkipTakenFileKeys() {
    // Zero until the first scan, which starts at the first letter.
    if (!FindFirstFreeLetter(kUninstallSection, "file", g_file_letter != 0 ? g_file_letter : kFirstKeyLetter,
                             kValueReadSize, g_text.script_path, g_file_letter))
        g_file_letter = kLastKeyLetter + 1;
}

void RecordFileKey(const char* path) {
    LetteredKey key;
    if (g_file_letter > kLastKeyLetter || !MakeLetteredKey(key, "file", g_file_letter)) return;
    WriteAndFlush(kUninstallSection, key.text, path, g_text.script_path);
}

void AdvanceFileLetter() {
    if (g_file_letter <= kLastKeyLetter) ++g_file_letter;
}

bool FileKeyLeft(unsigned ahead) {
    return g_file_letter + ahead <= kLastKeyLetter;
}

void RecordUninstallValue(const char* key, const char* value) {
    WriteAndFlush(kUninstallSection, key, value, g_text.script_path);
}

}  // namespace kq
