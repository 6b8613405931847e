// What an installation registers with the system: the entry in the list of
// installed programs, the run-once values, and the Start-menu folder with a
// shortcut per link (and the desktop and Quick Launch shortcuts offered for
// the first).
#pragma once

#include <stddef.h>

#include "text/text_buffers.h"

namespace kq {

// DisplayName and UninstallString under the Uninstall key of the application
// name (name buffer), for the install folder in `context`; VerNum is read
// from the setup script in the script path buffer. With an empty application
// name nothing is written: the key path would be the Uninstall key itself.
void WriteUninstallEntry(const SetupContext& context);

// UninstallString: the uninstaller's own path in quotes, a blank, and the
// log's path; QuietUninstallString (`quiet`) has "/S " before the log path.
// Returns 0 when it would not fit `size` or when the log path is too long for
// the uninstaller to take.
[[nodiscard]] int ComposeUninstallString(char* buffer, size_t size, const char* windows_folder,
                                         const char* install_folder, bool quiet);

inline constexpr char kRunOnceKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Writes Wrapper (only when RunOnce has a "Setup" subkey) and GrpConv, flushes
// the key, and starts "runonce -r" from the system folder. Without an
// openable RunOnce key nothing is written or started.
void RunOnceStep();

// Creates the Programs folder's AppName folder, records it as linkdir, and
// makes a shortcut there per link (each recorded under the next file key).
// The first link's target goes into the launch buffer.
void CreateStartMenuLinks(const SetupContext& context);

// The description of a shortcut file name: the text before its last '.', or
// the whole name when it has none.
void ShortcutDescription(char* description, size_t size, const char* file_name);

}  // namespace kq
