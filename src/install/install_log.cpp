// Lettered file keys written by the install sequence.
#include "install_log.h"

#include "script/lettered_key.h"
#include "script/profile.h"
#include "startup/text_buffers.h"

namespace kq {

unsigned g_dll_letter = kFirstKeyLetter;
unsigned g_file_letter = kFirstKeyLetter;

void SkipTakenFileKeys() {
    if (!FindFirstFreeLetter(kUninstallSection, "file", g_file_letter, kValueReadSize, g_text.script_path,
                             g_file_letter))
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
