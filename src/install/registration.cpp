// What an installation registers with the system: the uninstall entry, the
// run-once values, the Start-menu folder and its shortcuts.
#include "install/registration.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/platform.h"
#include "script/script.h"
#include "text/text.h"

namespace kq {

int ComposeUninstallString(char* buffer, size_t size, const char* windows_folder, const char* install_folder,
                            bool quiet) {
    // The uninstaller takes everything after its own name as the log path,
    // and that must fit its 255-character buffer.
    char log_path[kTextBufferSize];
    char uninstaller[2 * kTextBufferSize];
    if (!JoinPath(log_path, sizeof log_path, install_folder, kLogFileName) ||
        !JoinPath(uninstaller, sizeof uninstaller, windows_folder, kUninstallerName))
        return 0;
    buffer[0] = '\0';
    return AppendText(buffer, size, "\"") && AppendText(buffer, size, uninstaller) &&
           AppendText(buffer, size, quiet ? "\" /S " : "\" ") && AppendText(buffer, size, log_path);
}

void WriteUninstallEntry(const SetupContext& context) {
    if (g_text.name[0] == '\0') return;
    char key_path[kTextBufferSize];
    if (!CopyText(key_path, sizeof key_path, kUninstallKeyPath) ||
        !AppendText(key_path, sizeof key_path, g_text.name))
        return;

    ReadProfileText(kInstallSection, "VerNum", g_text.title, kValueReadSize, g_text.script_path);
    // Display text: a name and version too long for one value are cut.
    char value[kTextBufferSize];
    const char* const pieces[] = {g_text.name, " - ", g_text.title};
    ComposeCut(value, pieces);
    SetRegistryString(HKEY_LOCAL_MACHINE, key_path, "DisplayName", value);

    char windows_folder[kTextBufferSize];
    char command[2 * kTextBufferSize];
    if (!WindowsFolderPath(windows_folder, sizeof windows_folder, nullptr)) return;
    // The same command with /S for deployment tools: no question, no report.
    for (int quiet = 0; quiet < 2; ++quiet)
        if (ComposeUninstallString(command, sizeof command, windows_folder, context.install_folder, quiet != 0))
            SetRegistryString(HKEY_LOCAL_MACHINE, key_path, quiet ? "QuietUninstallString" : "UninstallString",
                              command);
}

void RunOnceStep() {
    HKEY run_once = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKeyPath, 0, KEY_ALL_ACCESS, &run_once) != ERROR_SUCCESS) return;
    HKEY setup = nullptr;
    if (RegOpenKeyExA(run_once, "Setup", 0, KEY_READ, &setup) == ERROR_SUCCESS) {
        RegCloseKey(setup);
        SetRegistryValue(run_once, "Wrapper", "runonce");
    }
    SetRegistryValue(run_once, "GrpConv", "grpconv -o");
    RegCloseKey(run_once);

    char command[kCommandBufferSize];
    if (ComposeSystemCommand(command, sizeof command, "runonce.exe", " -r"))
        StartProgram(command, nullptr, SW_SHOWNORMAL, 0);
}

namespace {

constexpr size_t kShortcutPathSize = 512;

// Offers an extra shortcut for the first link when the script's flag is set
// and the user agrees; records and creates it in the special folder `csidl`,
// or in its `subfolder` when one is given.
void OfferExtraShortcut(const char* flag_key, const char* question, int csidl, const char* subfolder,
                        const char* target, const char* description, const char* file_name) {
    // The flag is read first: a zero flag asks nothing.
    if (ReadProfileInt(kInstallSection, flag_key, 0, g_text.script_path) == 0) return;
    // Unattended, the script's offer is taken.
    if (!g_setup.silent && ShowMessage(question, "Setup", MB_YESNO) != IDYES) return;
    char folder[kShortcutPathSize];
    char path[kShortcutPathSize];
    if (!SpecialFolderPath(csidl, false, folder, sizeof folder, subfolder) ||
        !JoinPath(path, sizeof path, folder, file_name))
        return;
    RecordFileKey(path);
    CreateShortcut(target, description, path);
}

// One link: its Start-menu shortcut under the next file key and, for the
// first link, the launch target and the offered extra shortcuts. A path
// that would not fit skips the link (never cut into another path), which
// then takes no file key.
void CreateLinkShortcuts(unsigned number, const char* link_name, const char* menu_folder,
                         const SetupContext& context) {
    char file_name[kValueReadSize];
    ReadSequenceKey(kLinksSection, "linkfile", number, file_name, sizeof file_name, g_text.script_path);
    // A name that leads out of the Start-menu folder would write a shortcut
    // (and have the uninstaller delete a file) among the user's files.
    if (LeavesItsFolder(file_name)) return;
    if (!JoinPath(g_text.title, kTextBufferSize, context.install_folder, link_name)) return;
    if (!CopyText(g_text.licence_path, kTextBufferSize, menu_folder) ||
        !AppendText(g_text.licence_path, kTextBufferSize, file_name))
        return;
    RecordFileKey(g_text.licence_path);
    char description[kValueReadSize];
    ShortcutDescription(description, sizeof description, file_name);
    CreateShortcut(g_text.title, description, g_text.licence_path);
    if (number == 1) {
        (void)CopyText(g_text.launch, kTextBufferSize, g_text.title);
        OfferExtraShortcut("Desk", "Add a desktop icon?", CSIDL_DESKTOPDIRECTORY, nullptr, g_text.title, description,
                           file_name);
        OfferExtraShortcut("QLaunch", "Add Quick Launch toolbar button?", CSIDL_APPDATA,
                           "Microsoft\\Internet Explorer\\Quick Launch", g_text.title, description, file_name);
    }
}

}  // namespace

void ShortcutDescription(char* description, size_t size, const char* file_name) {
    description[0] = '\0';
    size_t end = TextLength(file_name);
    for (size_t i = end; i > 0; --i) {
        if (file_name[i - 1] == '.') {
            end = i - 1;
            break;
        }
    }
    if (end >= size) end = size - 1;
    (void)AppendBytes(description, size, file_name, end);
}

void CreateStartMenuLinks(const SetupContext& context) {
    char menu_folder[kTextBufferSize];
    if (!SpecialFolderPath(CSIDL_PROGRAMS, true, menu_folder, sizeof menu_folder, g_text.name)) return;
    CreateDirectoryA(menu_folder, nullptr);
    RecordUninstallValue("linkdir", menu_folder);
    if (!AppendText(menu_folder, sizeof menu_folder, "\\")) return;

    char link_name[kValueReadSize];
    for (unsigned number = 1;
         ReadSequenceKey(kLinksSection, "link", number, link_name, sizeof link_name, g_text.script_path) != 0;
         ++number)
        CreateLinkShortcuts(number, link_name, menu_folder, context);
}

}  // namespace kq
