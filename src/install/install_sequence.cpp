// The install sequence: from the wizard to the closing question, run inside
// the backdrop window's start command (or without a window, unattended), the
// files it installs with their progress, the folder it proposes, and the
// clean-up that ends it.
#include "install/install_sequence.h"

#include <shlobj.h>
#include <windows.h>

#include "install/registration.h"
#include "package/extract_record.h"
#include "package/package_check.h"
#include "package/record_format.h"
#include "package/stored_name.h"
#include "platform/platform.h"
#include "script/script.h"
#include "text/text.h"
#include "text/text_buffers.h"
#include "ui/backdrop.h"
#include "ui/wizard.h"

namespace kq {

namespace {

// The folder of a staged file (the script and the licence share it):
// removed once it is empty. The licence path buffer is no guide by the
// clean-up: the shortcuts use it as scratch.
void RemoveStagingFolder(const char* staged_file) {
    char folder[kTextBufferSize];
    if (ParentFolder(folder, sizeof folder, staged_file)) RemoveDirectoryA(folder);
}

// 1 when the user answered Yes to the closing question: the first link's
// target is started once the window has closed. Written by the sequence.
int g_run_at_end;

// 1 from the start of the clean-up wait to the clean-up step.
int g_cleanup_pending;

// The progress of the package check and of the files being installed, for
// the backdrop's progress line; written only by the piece hook, the check's
// caller and the install sequence.
struct FileProgress {
    HWND window;
    char text[kTextBufferSize];
    uint64_t done;
    uint64_t total;
    DWORD last_shown;
};
FileProgress g_progress;

// Shows the progress at most ten times a second, the name of the file
// being installed then, and handles the messages waiting meanwhile: a long
// install keeps the window painted and answering, and one of thousands of
// small files does not repaint it for every file. A close request meanwhile
// is ignored (OnCloseRequest), and nothing here can start the sequence again.
void OnPieceWritten(const uint8_t* stored_name, uint32_t name_length, uint32_t bytes) {
    g_progress.done += bytes;
    if (stored_name != nullptr) {
        (void)CopyText(g_progress.text, sizeof g_progress.text, "Installing ");
        const size_t room = sizeof g_progress.text - 1 - TextLength(g_progress.text);
        (void)AppendBytes(g_progress.text, sizeof g_progress.text, reinterpret_cast<const char*>(stored_name),
                          name_length < room ? name_length : room);
    }
    const DWORD now = GetTickCount();
    if (now - g_progress.last_shown < 100) return;
    g_progress.last_shown = now;
    ShowBackdropProgress(g_progress.window, g_progress.text, g_progress.done, g_progress.total);
    HandlePendingMessages();
}

constexpr UINT_PTR kCleanupTimer = 1;
constexpr UINT kCleanupDelay = 10000;
constexpr char kSetupError[] = "Setup Error!";


void PlaceLicence(const SetupContext& context) {
    char path[kTextBufferSize];
    if (!JoinPath(path, sizeof path, context.install_folder, kLicenceFileName)) return;
    // Only extracting a file creates folders: a package without files would
    // otherwise leave the licence and the log in the temp folder, and the
    // uninstall entry naming a log that is not there.
    SHCreateDirectoryExA(nullptr, context.install_folder, nullptr);
    MoveFileExA(g_text.licence_path, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    RecordFileKey(path);
}

void RecordLogAndFolder(const SetupContext& context) {
    char path[kTextBufferSize];
    if (JoinPath(path, sizeof path, context.install_folder, kLogFileName)) RecordFileKey(path);
    RecordUninstallValue("dir", context.install_folder);
}

// Records, deepest first, the folders above the install folder that do not
// exist yet and that extracting the files will create, so that the
// uninstall removes them once empty. Older uninstallers ignore the keys.
void RecordFoldersAbove(const char* install_folder) {
    char folder[kTextBufferSize];
    char parent[kTextBufferSize];
    char key[kKeyNameSize];
    unsigned number = 1;
    // ParentFolder cannot write over its own source: each parent is taken
    // from a copy of the one before.
    const char* below = install_folder;
    while (ParentFolder(parent, sizeof parent, below) && parent[0] != '\0' &&
           GetFileAttributesA(parent) == INVALID_FILE_ATTRIBUTES) {
        RecordSequenceValue(kAboveStem, number, parent, key);
        if (!CopyText(folder, sizeof folder, parent)) return;
        below = folder;
    }
}

// An earlier install of the same application into this folder: what its
// log lists (files, kept files, folders) that this install does not goes on
// the new log after its own keys, so that the uninstall removes it too.
void KeepEarlierEntries(const SetupContext& context) {
    char path[kTextBufferSize];
    char key[kKeyNameSize];
    SectionImage earlier = {};
    if (!JoinPath(path, sizeof path, context.install_folder, kLogFileName)) return;
    ReadProfileText(kInstallSection, "AppName", g_text.title, kValueReadSize, path);
    if (lstrcmpiA(g_text.title, g_text.name) == 0 && LoadSection(earlier, kUninstallSection, path)) {
        for (int i = 0; i < 3; ++i) {
            const char* const stem = i == 0 ? "file" : i == 1 ? "dire" : kAboveStem;
            unsigned number = 1;
            for (unsigned n = 1; const char* value = FindSequenceValue(earlier, stem, n); ++n)
                if (!HoldsName(g_install_log.listed, ListedPath(value)))
                    RecordSequenceValue(stem, number, value, key);
        }
    }
    ReleaseSection(earlier);
}

void WriteUninstaller(const SetupContext& context) {
    char path[kTextBufferSize];
    if (!WindowsFolderPath(path, sizeof path, kUninstallerName)) return;
    (void)ExtractRecord(context.instance, path, kWriteStub);
}

void AskToRunAtEnd(HWND window) {
    // Unattended, nothing is started.
    if (g_setup.silent) return;
    // Without a first link there is nothing to start: the message only says
    // that setup is complete.
    const bool can_run = g_text.launch[0] != '\0';
    char question[512];
    const char* const pieces[] = {g_text.name, " Setup is complete.", " If you need help getting started,\nclick the ",
                                  g_text.name, " Help menu item on your Start Menu.\n\nRun ", g_text.name, "?"};
    ComposeCut(question, sizeof question, pieces, can_run ? 7 : 2);
    if (ShowOwnedMessage(window, question, "Setup Complete", can_run ? MB_YESNO : MB_OK) == IDYES) g_run_at_end = 1;
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
    // and the Start-menu group the Programs folder; a name with a backslash,
    // "..", or a character Windows refuses would name other places.
    if (!IsPlainName(g_text.name, TextLength(g_text.name))) {
        ShowOwnedMessage(window, kSetupError, kSetupError, MB_OK);
        RemoveStagedFiles();
        return 0;
    }
    const int file_count = static_cast<int>(ReadProfileInt(kInstallSection, "FileNum", 0, g_text.script_path));
    const PackageFiles files = ScanPackageFiles(context.instance, file_count);
    context.longest_stored_name = files.longest_name;
    g_progress.window = window;
    g_progress.total = files.total_size;
    // Unattended: the licence counts as accepted and the folder is the one
    // asked for, or the proposal, checked as the folder page checks it.
    if (context.silent) {
        if (!AcceptInstallFolder(nullptr, context.requested_folder[0] != '\0' ? context.requested_folder
                                                                               : context.install_folder)) {
            RemoveStagedFiles();
            return 0;
        }
    // A refused licence ends setup whatever the wizard then returns.
    } else if (!RunSetupWizard(window) || g_setup_ended_early) {
        if (!g_setup_ended_early) g_setup.exit_code = kExitCancelled;
        RemoveStagedFiles();
        return 0;
    }
    // What the install records is gathered in memory and written to the
    // script once, before the uninstall entry can point anyone at it.
    const bool log_open = OpenInstallLog(g_text.script_path);
    if (log_open) RecordFoldersAbove(context.install_folder);
    if (!log_open || !InstallPackageFiles(context, file_count)) {
        (void)SaveInstallLog(g_text.script_path);
        ShowOwnedMessage(window, kSetupError, kSetupError, MB_OK);
        RemoveStagedFiles();
        return 0;
    }
    RegisterScriptDlls(context);
    PlaceLicence(context);
    RecordLogAndFolder(context);
    CreateStartMenuLinks(context);
    KeepEarlierEntries(context);
    if (!SaveInstallLog(g_text.script_path)) {
        ShowOwnedMessage(window, kSetupError, kSetupError, MB_OK);
        RemoveStagedFiles();
        return 0;
    }
    WriteUninstaller(context);
    WriteUninstallEntry(context);
    RunOnceStep();
    AskToRunAtEnd(window);
    return 1;
}

}  // namespace

void RunInstallSequence(HWND backdrop, SetupContext& context) {
    if (InstallSequence(backdrop, context)) {
        SetWindowTextA(backdrop, "Setup is cleaning up...");
        SetTimer(backdrop, kCleanupTimer, kCleanupDelay, nullptr);
        g_cleanup_pending = 1;
    } else {
        PostMessageA(backdrop, WM_DESTROY, 0, 0);
    }
}

void RunUnattendedInstall(SetupContext& context) {
    // The clean-up runs at once: nobody waits for a program to start.
    if (!InstallSequence(nullptr, context)) return;
    CleanupStep(context.install_folder);
    context.exit_code = kExitDone;
}

void OnCloseRequest(HWND backdrop) {
    if (!g_cleanup_pending) return;
    g_run_at_end = 0;
    OnCleanupTimer(backdrop);
}

void OnCleanupTimer(HWND backdrop) {
    g_cleanup_pending = 0;
    KillTimer(backdrop, kCleanupTimer);
    CleanupStep(g_setup.install_folder);
    g_setup.exit_code = kExitDone;
    PostMessageA(backdrop, WM_DESTROY, 0, 0);
    if (g_run_at_end && g_text.launch[0] != '\0') {
        // Quoted: unquoted, a path with blanks ("C:\Program Files\...") could
        // start C:\Program.exe instead.
        // It starts in its own folder, where it may look for its files.
        char command[kTextBufferSize + 2] = "\"";
        char folder[kTextBufferSize];
        if (AppendText(command, sizeof command, g_text.launch) && AppendText(command, sizeof command, "\"") &&
            ParentFolder(folder, sizeof folder, g_text.launch))
            StartProgram(command, folder, SW_SHOWNORMAL, 0);
    }
}

namespace {

// Length of `path` up to and including its first backslash, 0 if it has none
// within `length` characters.
size_t RootLength(const char* path, size_t length) {
    for (size_t i = 0; i < length && path[i] != '\0'; ++i)
        if (path[i] == '\\') return i + 1;
    return 0;
}

// Drive root (such as "C:\") of the temp folder, else of the Windows folder.
void FindDriveRoot(char* root) {
    char path[kTextBufferSize];
    DWORD length = GetTempPathA(sizeof path, path);
    size_t root_length = length < sizeof path ? RootLength(path, length) : 0;
    if (root_length == 0) {
        length = GetWindowsDirectoryA(path, sizeof path);
        root_length = length < sizeof path ? RootLength(path, length) : 0;
    }
    root[0] = '\0';
    if (root_length == 0 || !AppendBytes(root, kTextBufferSize, path, root_length)) (void)CopyText(root, 4, "C:\\");
}

}  // namespace

void ProposeInstallFolder(SetupContext& context) {
    ReadProfileText(kInstallSection, "DefDir", g_text.name, kValueReadSize, g_text.script_path);
    char root[kTextBufferSize];
    FindDriveRoot(root);
    const char* const pieces[] = {root, "Program Files\\", g_text.name};
    ComposeCut(g_text.folder, kTextBufferSize, pieces, 3);
    // The folder buffer is the smaller of the two: the copy always fits.
    (void)CopyText(context.install_folder, sizeof context.install_folder, g_text.folder);
}

int CheckPackageOnBackdrop(HWND backdrop, HINSTANCE instance) {
    const DWORD size = GetFileSize(OwnProgramFile(instance), nullptr);
    g_progress.window = backdrop;
    (void)CopyText(g_progress.text, sizeof g_progress.text, "Verifying");
    g_progress.total = size != INVALID_FILE_SIZE && size > kStubLength ? size - kStubLength : 0;
    g_piece_written = OnPieceWritten;
    const int sound = CheckOwnPackage(instance);
    g_piece_written = nullptr;
    g_progress.done = 0;
    ShowBackdropProgress(backdrop, "", 0, 0);
    return sound;
}

int InstallPackageFiles(const SetupContext& context, int count) {
    // The backdrop shows the progress while the files go in (not unattended).
    if (g_progress.window != nullptr) g_piece_written = OnPieceWritten;
    int result = 1;
    for (int i = 0; i < count && result == 1; ++i) {
        char destination[kTextBufferSize];
        result = CopyText(destination, sizeof destination, context.install_folder) &&
                 ExtractRecord(context.instance, destination, kInstallPlaced);
    }
    g_piece_written = nullptr;
    if (g_progress.window != nullptr) ShowBackdropProgress(g_progress.window, "", 0, 0);
    return result;
}

void RegisterScriptDlls(const SetupContext& context) {
    char dll_name[kValueReadSize];
    // [Uninstall] lists each DLL under the key its [Install] entry has.
    for (unsigned number = 1;
         ReadSequenceKey(kInstallSection, "dll", number, dll_name, sizeof dll_name, g_text.script_path) != 0;
         ++number) {
        char path[kTextBufferSize];
        char key[kKeyNameSize];
        if (!JoinPath(path, sizeof path, context.install_folder, dll_name) || !KeyName(key, sizeof key, "dll", number))
            continue;
        RecordUninstallValue(key, path);
        RunRegsvr(path, false);
    }
}

void RemoveStagedFiles() {
    DeleteFileA(g_text.script_path);
    DeleteFileA(g_text.licence_path);
    RemoveStagingFolder(g_text.script_path);
}

void CleanupStep(const char* install_folder) {
    char destination[kTextBufferSize];
    if (!JoinPath(destination, sizeof destination, install_folder, kLogFileName)) return;
    if (CopyFileA(g_text.script_path, destination, FALSE))
        DeleteFileA(g_text.script_path);
    else
        MoveFileExA(g_text.script_path, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    RemoveStagingFolder(g_text.script_path);
    (void)CopyText(g_text.script_path, kTextBufferSize, destination);
}

}  // namespace kq
