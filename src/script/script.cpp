// The setup script and uninstall log: reading key sequences, and the
// install's recording of its keys.
#include "script/script.h"

#include <windows.h>

#include "platform/platform.h"
#include "script/key_names.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {

DWORD ReadSequenceKey(const char* section, const char* stem, unsigned number, char* buffer, DWORD size,
                      const char* path) {
    char key[kKeyNameSize];
    DWORD length = 0;
    // The older letter form first, where a key can have one.
    for (int older = 1; older >= 0 && length == 0; --older)
        if (KeyName(key, sizeof key, stem, number, older != 0))
            length = ReadProfileText(section, key, buffer, size, path);
    return length;
}

InstallLog g_install_log;

int OpenInstallLog(const char* script_path) {
    InstallLog& log = g_install_log;
    log.file_number = 1;
    log.dire_number = 1;
    log.failed = false;
    if (!LoadSection(log.copymode, kCopymodeSection, script_path)) return 0;
    return LoadSection(log.uninstall, kUninstallSection, script_path);
}

int SaveInstallLog(const char* script_path) {
    InstallLog& log = g_install_log;
    if (log.uninstall.text != nullptr) SaveSection(log.uninstall, kUninstallSection, script_path);
    ReleaseSection(log.uninstall);
    ReleaseSection(log.copymode);
    ReleaseSection(log.listed);
    return !log.failed;
}

namespace {

// Moves `number` on to the first key of `stem` that is missing or empty, so
// that no key the author wrote is overwritten.
void SkipTakenKeys(const char* stem, unsigned& number) {
    while (FindSequenceValue(g_install_log.uninstall, stem, number) != nullptr) ++number;
}

}  // namespace

void SkipTakenFileKeys() { SkipTakenKeys("file", g_install_log.file_number); }

void RecordUninstallValue(const char* key, const char* value) {
    if (!SetValue(g_install_log.uninstall, key, value)) g_install_log.failed = true;
}

void RecordSequenceValue(const char* stem, unsigned& number, const char* value, char* key) {
    SkipTakenKeys(stem, number);
    if (!KeyName(key, kKeyNameSize, stem, number++)) return;
    RecordUninstallValue(key, value);
    // Remembering it may fail for want of memory: it may then be recorded
    // twice, which removes nothing more.
    (void)SetValue(g_install_log.listed, ListedPath(value), "");
}

const char* ListedPath(const char* value) {
    if (*value != kKeptMarkStart) return value;
    while (*value != '\0' && *value++ != '>') {
    }
    return *value == ' ' ? value + 1 : value;
}

void RecordFileKey(const char* path) {
    char key[kKeyNameSize];
    RecordSequenceValue("file", g_install_log.file_number, path, key);
}

}  // namespace kq
