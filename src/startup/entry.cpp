// The program entry: allocates the process-wide buffers, chooses installer
// or uninstaller mode by the program's own file name, and runs that mode.
// Installer mode takes its switches and runs the backdrop window's message
// loop, whose start command checks the package, stages the setup script and
// the licence in the temp folder and installs; unattended, it does the same
// without a window. Uninstaller mode takes "/S" and the log path from the
// command-line tail. Each mode frees the buffers at its end.
#include "startup/entry.h"

#include "install/install_sequence.h"
#include "package/extract_record.h"
#include "package/package_check.h"
#include "platform/platform.h"
#include "startup/command_line.h"
#include "script/script.h"
#include "text/text.h"
#include "text/text_buffers.h"
#include "ui/backdrop.h"
#include "ui/wizard.h"
#include "uninstall/uninstall.h"

namespace kq {
namespace {

constexpr size_t kNameLength = sizeof kUninstallerName - 1;

bool IsUninstallerPath(const char* path, size_t length) {
    // A path shorter than the name cannot name the uninstaller. Only the last
    // 12 characters count; what stands in front of them is not examined.
    return length >= kNameLength && lstrcmpiA(path + (length - kNameLength), kUninstallerName) == 0;
}

// A folder of its own under the temp folder (which ends in a backslash),
// made fresh for this run: setup programs started at once never share their
// staged files, and nothing left there by another program is taken.
int MakeStagingFolder(char* folder, const char* temp_folder) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        char unique[MAX_PATH];
        // A unique empty file, whose name then serves the folder.
        if (!GetTempFileNameA(temp_folder, "kqs", 0, unique)) return 0;
        DeleteFileA(unique);
        if (!CopyText(folder, kTextBufferSize, unique)) return 0;
        if (CreateDirectoryA(folder, nullptr)) return 1;
    }
    return 0;
}

// Stages records 0 and 1 (the script and the licence) into the staging
// folder, as files with normal attributes whatever their records say.
int StageScriptAndLicence(HINSTANCE instance, const char* folder) {
    if (!JoinPath(g_text.script_path, kTextBufferSize, folder, kLogFileName) ||
        !JoinPath(g_text.licence_path, kTextBufferSize, folder, kLicenceFileName) ||
        !ExtractRecord(instance, g_text.script_path, kFirstRecord) ||
        !ExtractRecord(instance, g_text.licence_path, kWriteNext))
        return 0;
    SetFileAttributesA(g_text.script_path, FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(g_text.licence_path, FILE_ATTRIBUTE_NORMAL);
    return 1;
}

// The script and the licence staged in a folder of their own under the temp
// folder; 0, with nothing left behind, when that fails.
int StagePackage(HINSTANCE instance) {
    char staging_folder[kTextBufferSize];
    const DWORD temp_length = GetTempPathA(kTextBufferSize, g_module_path);
    if (temp_length == 0 || temp_length >= kTextBufferSize || !MakeStagingFolder(staging_folder, g_module_path))
        return 0;
    if (StageScriptAndLicence(instance, staging_folder)) return 1;
    RemoveStagedFiles();
    return 0;
}

// Runs until the quit request. The exit code is the setup context's: a quit
// request posted inside the wizard's own loop may not reach this one.
void RunMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The backdrop's start command. The package check comes first, its progress
// on the backdrop, and only a sound package is staged: a damaged one still
// creates nothing.
void StartInstallation(HWND backdrop) {
    const int ready = CheckPackageOnBackdrop(backdrop, g_setup.instance) && StagePackage(g_setup.instance);
    FreeModulePathBuffer();
    if (ready) {
        RunInstallSequence(backdrop, g_setup);
    } else {
        PostMessageA(backdrop, WM_DESTROY, 0, 0);
    }
}

// Takes the switches of the tail into the setup context. Returns 0 after
// telling the user (or the run log) what is wrong with them.
int TakeSetupSwitches(const char* tail) {
    const SetupSwitches switches = ParseSetupSwitches(tail);
    g_setup.silent = switches.silent;
    const bool log_fits = AppendBytes(g_setup.run_log, sizeof g_setup.run_log, switches.log.text, switches.log.length);
    if (switches.unknown.text != nullptr) {
        char text[kTextBufferSize];
        (void)CopyText(text, sizeof text, "Unknown switch: ");
        const unsigned room = sizeof text - sizeof "Unknown switch: ";
        (void)AppendBytes(text, sizeof text, switches.unknown.text,
                          switches.unknown.length < room ? switches.unknown.length : room);
        ShowMessage(text, "Setup", MB_OK | MB_ICONERROR);
        return 0;
    }
    // A folder too long to hold is refused whole, as the folder page does.
    if (!AppendBytes(g_setup.requested_folder, sizeof g_setup.requested_folder, switches.folder.text,
                     switches.folder.length))
        return AcceptInstallFolder(nullptr, nullptr);
    return log_fits ? 1 : 0;
}

int RunInstallerMode(HINSTANCE instance, const char* tail) {
    g_setup.instance = instance;
    g_setup.exit_code = kExitFailed;
    if (!TakeSetupSwitches(tail)) return kExitFailed;
    if (g_setup.silent) {
        // A damaged or cut-short package is refused before anything is created.
        const int ready = CheckOwnPackage(instance) && StagePackage(instance);
        FreeModulePathBuffer();
        if (ready) RunUnattendedInstall(g_setup);
    } else if (CreateBackdropWindow(instance, StartInstallation, OnCleanupTimer, OnCloseRequest)) {
        RunMessageLoop();
    }
    FreeModulePathBuffer();
    FreeTextBuffers();
    return g_setup.exit_code;
}

int RunUninstallerMode(const char* command_tail) {
    bool silent = false;
    const char* const log_path = UninstallTail(command_tail, silent);
    g_setup.silent = silent;
    // A tail too long for the buffer names no log this program could read:
    // the script path stays empty, as for any unreadable log.
    if (!CopyText(g_text.script_path, kTextBufferSize, log_path)) g_text.script_path[0] = '\0';
    const int exit_code = RunUninstallSequence();
    if (exit_code == kExitDone && !silent) ShowUninstallReport();
    FreeModulePathBuffer();
    FreeTextBuffers();
    return exit_code;
}

}  // namespace

int ProgramEntry(HINSTANCE instance, const char* command_tail) {
    if (!AllocateModulePathBuffer()) return kExitFailed;
    const DWORD path_length = GetModuleFileNameA(nullptr, g_module_path, kTextBufferSize);
    if (!AllocateTextBuffers()) {
        FreeModulePathBuffer();
        return kExitFailed;
    }
    // A path that filled the buffer was cut short: it cannot be compared.
    const bool whole_path = path_length > 0 && path_length < kTextBufferSize;
    if (whole_path && IsUninstallerPath(g_module_path, path_length)) return RunUninstallerMode(command_tail);
    return RunInstallerMode(instance, command_tail);
}

}  // namespace kq
