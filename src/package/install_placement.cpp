// Placement of installed records and their uninstall-log entries.
#include "package/install_placement.h"

#include <windows.h>

#include "package/stored_name.h"
#include "platform/platform.h"
#include "script/script.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {
namespace {

// Records each folder of `name` that no earlier file of this install has
// recorded, shallowest first: a parent always comes before its children in
// the dire keys, and the uninstaller's removal from the last back to the
// first takes children first.
void RecordNewFolders(const char* name) {
    InstallLog& log = g_install_log;
    char prefix[kTextBufferSize];
    char key[kKeyNameSize];
    for (size_t i = 0; name[i] != '\0'; ++i) {
        if (name[i] != '\\') continue;
        // The whole prefix is recorded: cutting it would name another folder.
        CopyMemory(prefix, name, i);
        prefix[i] = '\0';
        if (!HoldsName(log.listed, prefix)) RecordSequenceValue("dire", log.dire_number, prefix, key);
    }
}

// The leading decimal digits of a copy mode; any other text is no mode.
int CopyModeOf(const char* text) {
    int mode = 0;
    // Quotes around a value are no part of it, as the profile functions read it.
    if (*text == '"' || *text == '\'') ++text;
    while (*text >= '0' && *text <= '9' && mode < 1000) mode = mode * 10 + (*text++ - '0');
    return mode;
}

}  // namespace

int PlaceRecord(const uint8_t* stored_name, uint32_t name_length, char* destination, int& copy_mode,
                char* file_key) {
    // A name that leaves the install folder, names no file or a device, or
    // would log an empty folder is damage, not a file to place: it would write
    // (and its log entries remove) among the user's files, or end the
    // uninstaller's folder list early.
    if (CheckStoredName(reinterpret_cast<const char*>(stored_name), name_length).fault != StoredNameFault::kNone)
        return 0;
    char name[kTextBufferSize];
    name[0] = '\0';
    if (!AppendBytes(name, sizeof name, reinterpret_cast<const char*>(stored_name), name_length)) return 0;

    // The copy mode is the one [Copymode] gives under the file key this file takes.
    SkipTakenFileKeys();
    const char* mode_text = FindSequenceValue(g_install_log.copymode, "file", g_install_log.file_number);
    const int mode = mode_text != nullptr ? CopyModeOf(mode_text) : 1;

    // Under the install folder the backslash goes in even after a folder that
    // ends with one.
    char path[kTextBufferSize];
    if (mode == kCopyModeWindowsFolder ? !WindowsFolderPath(path, sizeof path, name)
                                       : !JoinPath(path, sizeof path, destination, name))
        return 0;

    RecordNewFolders(name);
    (void)CopyText(destination, kTextBufferSize, path);
    RecordSequenceValue("file", g_install_log.file_number, destination, file_key);
    copy_mode = mode;
    return !g_install_log.failed;
}

void RecordKeptFile(const char* file_key, const char* path, int copy_mode) {
    char value[kTextBufferSize];
    const char* const pieces[] = {copy_mode == kCopyModeKeep ? kKeptMark : kNotOverwrittenMark, path};
    // Cut if need be: a cut value still starts with the mark.
    ComposeCut(value, pieces);
    RecordUninstallValue(file_key, value);
}

}  // namespace kq
