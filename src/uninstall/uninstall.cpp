// The uninstaller: confirm, remove everything the log records, report.
#include "uninstall/uninstall.h"

#include <windows.h>
#include <shlobj.h>

#include "package/stored_name.h"
#include "platform/platform.h"
#include "script/script.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {

namespace {

constexpr char kCaption[] = "Uninstall";
constexpr size_t kWorkPathSize = 512;
constexpr char kQuickLaunchFolder[] = "Microsoft\\Internet Explorer\\Quick Launch";

// Shortcut path in a special folder of the current user (or its
// `subfolder`); 0 when the folder cannot be looked up or the path would not
// fit (the shortcut is then left alone rather than a cut path deleted).
int ComposeSpecialFolderPath(char* work_path, int csidl, const char* subfolder, const char* file_name) {
    char folder[kWorkPathSize];
    return SpecialFolderPath(csidl, false, folder, sizeof folder, subfolder) &&
           JoinPath(work_path, kWorkPathSize, folder, file_name);
}

// True when one of the log's file keys names `path`.
bool LogListsFile(const SectionImage& log, const char* path) {
    for (unsigned number = 1; const char* listed = FindSequenceValue(log, "file", number); ++number)
        if (lstrcmpiA(listed, path) == 0) return true;
    return false;
}

// The first link's shortcut in the places the install may have put it, each
// only when the log lists it: one of the same name that the install did not
// make is the user's.
void RemoveFirstLinkShortcuts(const SectionImage& log, const char* log_path, char* work_path) {
    ReadSequenceKey(kLinksSection, "linkfile", 1, g_text.value, kValueReadSize, log_path);
    if (g_text.value[0] == '\0' || LeavesItsFolder(g_text.value)) return;
    struct Place {
        int csidl;
        const char* subfolder;
    };
    static constexpr Place kPlaces[] = {{CSIDL_STARTUP, nullptr}, {CSIDL_APPDATA, kQuickLaunchFolder},
                                 {CSIDL_DESKTOPDIRECTORY, nullptr}};
    for (const Place& place : kPlaces)
        if (ComposeSpecialFolderPath(work_path, place.csidl, place.subfolder, g_text.value) &&
            LogListsFile(log, work_path))
            DeleteFileA(work_path);
}

void UnregisterRecordedDlls(const SectionImage& log) {
    for (unsigned number = 1; const char* dll = FindSequenceValue(log, "dll", number); ++number) RunRegsvr(dll, true);
}

// A listed file the package installed read-only (its stored attributes) is
// made writable first, or it, its folder and the install folder would stay.
void DeleteListedFile(const char* path) {
    // A file the install found and kept is the user's.
    if (path[0] == kKeptMarkStart || DeleteFileA(path)) return;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return;
    SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    DeleteFileA(path);
}

void DeleteRecordedFiles(const SectionImage& log) {
    for (unsigned number = 1; const char* path = FindSequenceValue(log, "file", number); ++number)
        DeleteListedFile(path);
}

// The log lists each stored name's directories shallowest first; removing
// them from the last entry back to the first takes children before their
// parents, so every directory the installation made can go. An entry that
// climbs out of the install folder ("..") names none of them: the empty
// folders it reaches are the user's, and it is passed over.
void RemoveRecordedDirectories(const SectionImage& log, char* work_path) {
    unsigned end = 1;
    while (FindSequenceValue(log, "dire", end) != nullptr) ++end;
    while (--end > 0) {
        const char* folder = FindSequenceValue(log, "dire", end);
        if (!ClimbsOutOfItsFolder(folder, TextLength(folder)) &&
            JoinPath(work_path, kWorkPathSize, g_text.folder, folder))
            RemoveDirectoryA(work_path);
    }
}

}  // namespace

int RunUninstallSequence() {
    const char* const log_path = g_text.script_path;
    ReadProfileText(kUninstallSection, "dir", g_text.folder, kValueReadSize, log_path);
    ReadProfileText(kInstallSection, "AppName", g_text.name, kValueReadSize, log_path);

    g_text.message[0] = '\0';
    AppendCut(g_text.message, kTextBufferSize, "Are you sure you want to completely\nremove ");
    AppendCut(g_text.message, kTextBufferSize, g_text.name);
    AppendCut(g_text.message, kTextBufferSize, " from your computer?");
    // Unattended (/S), nobody is asked.
    if (!g_setup.silent && ShowMessage(g_text.message, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kExitCancelled;

    // The log deletes itself among the listed files: [Uninstall] is read
    // into memory, and the rest of what is needed, before anything goes.
    SectionImage log;
    // A name that is no plain name (empty, "..\\", a backslash) would reach
    // another program's uninstall entry and keys.
    if (!IsPlainName(g_text.name, TextLength(g_text.name)) || g_text.folder[0] == '\0' ||
        !LoadSection(log, kUninstallSection, log_path)) {
        ShowMessage("Uninstall error!  Unable to uninstall!", kCaption, MB_OK | MB_ICONERROR);
        return kExitFailed;
    }
    char company[kValueReadSize];
    ReadProfileText(kInstallSection, "CompReg", company, sizeof company, log_path);
    char work_path[kWorkPathSize];

    RemoveFirstLinkShortcuts(log, log_path, work_path);
    UnregisterRecordedDlls(log);
    DeleteRecordedFiles(log);
    RemoveRecordedDirectories(log, work_path);
    RemoveDirectoryA(g_text.folder);
    // Then the folders above it that the install created, deepest first.
    for (unsigned number = 1; const char* folder = FindSequenceValue(log, kAboveStem, number); ++number)
        RemoveDirectoryA(folder);
    const char* menu_folder = FindValue(log, "linkdir");
    if (menu_folder != nullptr && *menu_folder != '\0') RemoveDirectoryA(menu_folder);
    RemoveUninstallEntry(company);

    ReleaseSection(log);
    return kExitDone;
}

void RemoveUninstallEntry(const char* company) {
    if (g_text.name[0] == '\0') return;
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, kUninstallKeyPath, g_text.name);
    // Without a maker's name the key would be "Software\<name>", which may
    // be another maker's program of the same name.
    if (company[0] == '\0') return;
    char app_key[kTextBufferSize];
    if (!CopyText(app_key, sizeof app_key, "Software\\") || !AppendText(app_key, sizeof app_key, company) ||
        !AppendText(app_key, sizeof app_key, "\\") || !AppendText(app_key, sizeof app_key, g_text.name))
        return;
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, app_key, "settings");
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, app_key, "Recent File List");
}

void ShowUninstallReport() {
    AppendCut(g_text.name, kTextBufferSize, " has been uninstalled.");
    if (GetFileAttributesA(g_text.folder) != INVALID_FILE_ATTRIBUTES)
        AppendCut(g_text.name, kTextBufferSize, "\r\nSome files could not be removed.");
    ShowMessage(g_text.name, kCaption, MB_OK);
}

}  // namespace kq
