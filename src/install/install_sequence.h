// The install sequence as the backdrop window starts it: the handler of the
// window's start command and of its clean-up timer, and the steps it takes.
#pragma once

#include <windows.h>

#include "text/text_buffers.h"

namespace kq {

// The backdrop window's start command: runs the installation inside the
// window procedure, then starts the clean-up timer or posts WM_DESTROY to
// `backdrop`.
void RunInstallSequence(HWND backdrop, SetupContext& context);

// The package check (CheckOwnPackage) with its progress, "Verifying", on the
// backdrop; the line is cleared afterwards. Returns what the check returns.
[[nodiscard]] int CheckPackageOnBackdrop(HWND backdrop, HINSTANCE instance);

// The same without a window or a question (context.silent), the clean-up
// included; the exit code says how it ended.
void RunUnattendedInstall(SetupContext& context);

// WM_TIMER of the backdrop window: the clean-up step, after which the window
// closes and, when the user asked for it, the first link's target starts.
void OnCleanupTimer(HWND backdrop);

// A close request or the end of the Windows session: during the clean-up
// wait, the clean-up step at once and the end, starting nothing; before it,
// while the installation runs, nothing.
void OnCloseRequest(HWND backdrop);

// The temp folder's drive root + "Program Files\" + DefDir (read into the
// name buffer), in the folder buffer and the setup context. Without a usable
// temp folder path the root of the Windows folder's drive serves, and "C:\"
// when that is unknown too. A DefDir too long for the folder is cut: this is
// only a proposal the user sees and may change.
void ProposeInstallFolder(SetupContext& context);

// Extracts `count` ([Install] FileNum) package records in mode 6, each under
// the install folder. Returns 1 when all were installed (or there were none,
// or the count is negative), else 0.
[[nodiscard]] int InstallPackageFiles(const SetupContext& context, int count);

// For each [Install] dll key up to the first missing one: records the DLL's
// path under the [Uninstall] dll key of the same number and starts its
// registration. A path too long for the log is neither recorded nor started.
void RegisterScriptDlls(const SetupContext& context);

// Deletes the staged script and licence (script and licence path buffers)
// and the staging folder that holds them.
void RemoveStagedFiles();

// Moves the setup script (script path buffer) to install folder +
// "\Uninstal.inf", replacing any file there; the script path buffer then
// names the log.
void CleanupStep(const char* install_folder);

}  // namespace kq
