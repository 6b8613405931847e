// The install sequence: from the wizard to the closing question, run inside
// the backdrop window's command 100, and the clean-up timer that ends it.
#include "install_sequence.h"

#include <shlobj.h>

#include "cleanup_step.h"
#include "default_folder.h"
#include "file_installation.h"
#include "install_log.h"
#include "package/extract_record.h"
#include "run_once.h"
#include "script/lettered_key.h"
#include "script/profile.h"
#include "start_menu_links.h"
#include "startup/bounded_text.h"
#include "startup/entry.h"
#include "ui/display_text.h"
#include "ui/message_box.h"
#include "ui/setup_wizard.h"
#include "uninstall_entry.h"

namespace kq {

int g_run_at_end;

namespace {

constexpr UINT_PTR kCleanupTimer = 1;
constexpr UINT kCleanupDelay = 10000;
constexpr char kSetupError[] = "Setup Error!";

void DeleteStagedFiles() {
    DeleteFileA(g_text.script_path);
    DeleteFileA(g_text.licence_path);
}

// Install folder + "\" + `name` into `path`; 0 when it would not fit.
int ComposeInFolder(char* path, const SetupContext& context, const char* name) {
    return CopyText(path, kTextBufferSize, context.install_folder) && AppendText(path, kTextBufferSize, "\\") &&
           AppendText(path, kTextBufferSize, name);
}

void PlaceLicence(const SetupContext& context) {
    char path[kTextBufferSize];
    if (!ComposeInFolder(path, context, kStagedLicenceName)) return;
    // Only extracting a file creates folders: a package without files would
    // otherwise leave the licence and the log in the temp folder, and the
    // uninstall entry naming a log that is not there.
    SHCreateDirectoryExA(nullptr, context.install_folder, nullptr);
    MoveFileExA(g_text.licence_path, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    RecordFileKey(path);
    AdvanceFileLetter();
}

void RecordLogAndFolder(const SetupContext& context) {
    char path[kTextBufferSize];
    if (ComposeInFolder(path, context, kStagedScriptName)) {
        RecordFileKey(path);
        AdvanceFileLetter();
    }
    RecordUninstallValue("dir", context.install_folder);
}

void WriteUninstaller(const SetupContext& context) {
    char path[kTextBufferSize];
    const UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !AppendText(path, sizeof path, "\\") ||
        !AppendText(path, sizeof path, kUninstallerName))
        return;
    (void)ExtractRecord(context.instance, path, kWriteStub, g_text.script_path);
}

void AskToRunAtEnd(HWND window) {
    char question[512] = {};
    const char* const pieces[] = {g_text.name, " Setup is complete. If you need help getting started,\nclick the ",
                                  g_text.name, " Help menu item on your Start Menu.\n\nRun ", g_text.name, "?"};
    ComposeCut(question, pieces);
    if (ShowOwnedMessage(window, question, "Setup Complete", MB_YESNO) == IDYES) g_run_at_end = 1;
}

// Returns 1 when the installation ran to the closing question, 0 when it
// stopped (cancelled, refused, or a file that could not be installed).
int InstallSequence(HWND window, SetupContext& context) {
    g_run_at_end = 0;
    ProposeInstallFolder(context);
    ReadProfileText(kInstallSection, "AppName", g_text.name, kValueReadSize, g_text.script_path);
    ReadProfileText(kInstallSection, "AppBy", g_text.message, kValueReadSize, g_text.script_path);
    const char* const title[] = {g_text.name, " ", "Setup"};
    ComposeCut(g_text.title, kTextBufferSize, title, 3);
    SetWindowTextA(window, g_text.title);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);

    // Without a name the uninstall entry would be the Uninstall key itself
    // and the Start-menu group the Programs folder.
    if (g_text.name[0] == '\0') {
        ShowOwnedMessage(window, kSetupError, kSetupError, MB_OK);
        DeleteStagedFiles();
        return 0;
    }
    // A refused licence ends setup whatever the wizard then returns.
    if (!RunSetupWizard(window, context.instance) || g_setup_ended_early) {
        DeleteStagedFiles();
        return 0;
    }
    if (!InstallPackageFiles(context)) {
        ShowOwnedMessage(window, kSetupError, kSetupError, MB_OK);
        return 0;
    }
    RegisterScriptDlls(context);
    SkipTakenFileKeys();
    PlaceLicence(context);
    RecordLogAndFolder(context);
    WriteUninstaller(context);
    WriteUninstallEntry(context, kInstallSide, nullptr);
    RunOnceStep(1);
    CreateStartMenuLinks(context);
    AskToRunAtEnd(window);
    return 1;
}

}  // namespace

void RunInstallSequence(HWND backdrop, SetupContext& context) {
    if (InstallSequence(backdrop, context)) {
        SetWindowTextA(backdrop, "Setup is cleaning up...");
        SetTimer(backdrop, kCleanupTimer, kCleanupDelay, nullptr);
    } else {
        PostMessageA(backdrop, WM_DESTROY, 0, 0);
    }
}

void OnCleanupTimer(HWND backdrop) {
    KillTimer(backdrop, kCleanupTimer);
    CleanupStep(g_setup.install_folder);
    PostMessageA(backdrop, WM_DESTROY, 0, 0);
    if (g_run_at_end && g_text.launch[0] != '\0') {
        // Quoted: unquoted, a path with blanks ("C:\Program Files\...") could
        // start C:\Program.exe instead.
        char command[kTextBufferSize + 2] = "\"";
        if (AppendText(command, sizeof command, g_text.launch) && AppendText(command, sizeof command, "\""))
            WinExec(command, SW_SHOWNORMAL);
    }
}

}  // namespace kq
