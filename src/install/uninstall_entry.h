// The entry in the system's list of installed programs: written after an
// installation, removed (with the application's own settings subkeys) at the
// end of an uninstallation.
#pragma once

#include "startup/text_buffers.h"

namespace kq {

enum UninstallEntrySide : int { kInstallSide = 0, kUninstallSide = 1 };

inline constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Install side: DisplayName and UninstallString under the Uninstall key of
// the application name (name buffer), for the install folder in `context`;
// VerNum is read from the setup script in the script path buffer.
// Uninstall side: deletes that key and the application key's "settings" and
// "Recent File List" subkeys; CompReg is read from `log_path`.
// With an empty application name neither side does anything: the key path
// would be the Uninstall key itself.
void WriteUninstallEntry(const SetupContext& context, int side, const char* log_path);

// UninstallString: the uninstaller's own path in quotes, a blank, and the
// log's path. Returns 0 when it would not fit `size` or when the log path
// is too long for the uninstaller to take.
[[nodiscard]] int ComposeUninstallString(char* buffer, size_t size, const char* windows_folder,
                                         const char* install_folder);

}  // namespace kq
