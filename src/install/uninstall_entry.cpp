// Uninstall entry, both sides.
#include "uninstall_entry.h"

#include "registry_entry.h"
#include "script/lettered_key.h"
#include "script/profile.h"
#include "startup/bounded_text.h"
#include "startup/entry.h"
#include "ui/display_text.h"

namespace kq {
namespace {

constexpr char kLogFileTail[] = "\\Uninstal.inf";

void WriteInstallSide(const SetupContext& context) {
    char key_path[kTextBufferSize];
    if (!CopyText(key_path, sizeof key_path, kUninstallKeyPath) ||
        !AppendText(key_path, sizeof key_path, g_text.name))
        return;

    ReadProfileText(kInstallSection, "VerNum", g_text.title, kValueReadSize, g_text.script_path);
    // Display text: a name and version too long for one value are cut.
    char value[kTextBufferSize] = {};
    AppendCut(value, sizeof value, g_text.name);
    AppendCut(value, sizeof value, " - ");
    AppendCut(value, sizeof value, g_text.title);
    RegistryEntry(key_path, "DisplayName", value, 0, HKEY_LOCAL_MACHINE);

    char windows_folder[kTextBufferSize];
    const UINT length = GetWindowsDirectoryA(windows_folder, sizeof windows_folder);
    if (length == 0 || length >= sizeof windows_folder) return;
    char command[2 * kTextBufferSize];
    if (ComposeUninstallString(command, sizeof command, windows_folder, context.install_folder))
        RegistryEntry(key_path, "UninstallString", command, 0, HKEY_LOCAL_MACHINE);
}

void RemoveUninstallSide(const char* log_path) {
    RegistryEntry(kUninstallKeyPath, g_text.name, nullptr, 1, HKEY_LOCAL_MACHINE);

    char company[kValueReadSize];
    ReadProfileText(kInstallSection, "CompReg", company, sizeof company, log_path);
    char app_key[kTextBufferSize];
    if (!CopyText(app_key, sizeof app_key, "Software\\") || !AppendText(app_key, sizeof app_key, company) ||
        !AppendText(app_key, sizeof app_key, "\\") || !AppendText(app_key, sizeof app_key, g_text.name))
        return;
    RegistryEntry(app_key, "settings", nullptr, 1, HKEY_LOCAL_MACHINE);
    RegistryEntry(app_key, "Recent File List", nullptr, 1, HKEY_LOCAL_MACHINE);
}

}  // namespace

int ComposeUninstallString(char* buffer, size_t size, const char* windows_folder, const char* install_folder) {
    // The uninstaller takes everything after its own name as the log path,
    // and that must fit its 255-character buffer.
    if (TextLength(install_folder) + sizeof kLogFileTail - 1 >= kTextBufferSize) return 0;
    buffer[0] = '\0';
    return AppendText(buffer, size, "\"") && AppendText(buffer, size, windows_folder) &&
           AppendText(buffer, size, "\\") && AppendText(buffer, size, kUninstallerName) &&
           AppendText(buffer, size, "\" ") && AppendText(buffer, size, install_folder) &&
           AppendText(buffer, size, kLogFileTail);
}

void WriteUninstallEntry(const SetupContext& context, int side, const char* log_path) {
    if (g_text.name[0] == '\0') return;
    if (side == kInstallSide)
        WriteInstallSide(context);
    else
        RemoveUninstallSide(log_path);
}

}  // namespace kq
