// Placement of installed records and their uninstall-log entries.
#include "package/install_placement.h"

#include <windows.h>

#include "package/stored_name.h"
#include "script/script.h"
#include "platform/platform.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {
namespace {

constexpr char kDirectoryStem[] = "dire";
constexpr char kFileStem[] = "file";

// Where the scans from "direa" and "filea" of the setup script may start;
// written only by placement, which alone adds those keys while files install.
FirstFreeMemo g_dire_memo;
FirstFreeMemo g_file_memo;

// Counts the directory prefixes of a stored name: one per backslash.
unsigned CountPrefixes(const char* name) {
    unsigned count = 0;
    for (const char* p = name; *p != '\0'; ++p)
        if (*p == '\\') ++count;
    return count;
}

// Records each directory prefix of `name`, shallowest first, on consecutive
// free dire letters, so the uninstaller's one gapless sequence holds them
// all. Returns 0 (writing nothing) when the free letters would not suffice.
int RecordDirectoryPrefixes(const char* name, const char* script_path) {
    const unsigned prefixes = CountPrefixes(name);
    if (prefixes == 0) return 1;
    unsigned first = 0;
    if (!FindFirstFreeLetterRemembering(g_dire_memo, kUninstallSection, kDirectoryStem, kProbeReadSize, script_path,
                                        first))
        return 0;
    // Later prefixes take the next free letters; check they exist before
    // writing the first, so a refused record leaves no partial entries.
    unsigned letters[kTextBufferSize];
    letters[0] = first;
    for (unsigned i = 1; i < prefixes; ++i) {
        if (!FindFirstFreeLetter(kUninstallSection, kDirectoryStem, letters[i - 1] + 1, kProbeReadSize, script_path,
                                 letters[i]))
            return 0;
    }
    char prefix[kTextBufferSize];
    unsigned index = 0;
    for (size_t i = 0; name[i] != '\0'; ++i) {
        if (name[i] != '\\') continue;
        // The whole prefix is recorded: cutting it would name another folder.
        for (size_t k = 0; k < i; ++k) prefix[k] = name[k];
        prefix[i] = '\0';
        LetteredKey key;
        if (!MakeLetteredKey(key, kDirectoryStem, letters[index++])) return 0;
        WriteProfileText(kUninstallSection, key.text, prefix, script_path);
    }
    return 1;
}

}  // namespace

int PlaceRecord(const uint8_t* stored_name, uint32_t name_length, char* destination, const char* script_path,
                int& copy_mode, LetteredKey& file_key) {
    // A name that leaves the install folder, names no file or a device, or
    // would log an empty folder is damage, not a file to place: it would write
    // (and its log entries remove) among the user's files, or end the
    // uninstaller's folder list early.
    if (CheckStoredName(reinterpret_cast<const char*>(stored_name), name_length).fault != StoredNameFault::kNone)
        return 0;
    char name[kTextBufferSize];
    name[0] = '\0';
    if (!AppendBytes(name, sizeof name, reinterpret_cast<const char*>(stored_name), name_length)) return 0;

    unsigned file_letter = 0;
    if (!FindFirstFreeLetterRemembering(g_file_memo, kUninstallSection, kFileStem, kProbeReadSize, script_path,
                                        file_letter))
        return 0;
    if (!MakeLetteredKey(file_key, kFileStem, file_letter)) return 0;
    const int mode = static_cast<int>(ReadProfileInt(kCopymodeSection, file_key.text, 1, script_path));

    // Under the install folder the backslash goes in even after a folder that
    // ends with one.
    char path[kTextBufferSize];
    if (mode == kCopyModeWindowsFolder ? !WindowsFolderPath(path, sizeof path, name)
                                       : !JoinPath(path, sizeof path, destination, name))
        return 0;

    if (!RecordDirectoryPrefixes(name, script_path)) return 0;
    if (!CopyText(destination, kTextBufferSize, path)) return 0;
    WriteProfileText(kUninstallSection, file_key.text, destination, script_path);
    copy_mode = mode;
    return 1;
}

void RecordKeptFile(const LetteredKey& file_key, const char* path, int copy_mode, const char* script_path) {
    char value[kTextBufferSize];
    const char* const pieces[] = {copy_mode == kCopyModeKeep ? kKeptMark : kNotOverwrittenMark, path};
    // Cut if need be: a cut value still starts with the mark.
    ComposeCut(value, pieces);
    WriteProfileText(kUninstallSection, file_key.text, value, script_path);
}

}  // namespace kq
