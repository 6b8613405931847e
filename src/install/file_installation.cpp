// Package files and DLL registration.
#include "file_installation.h"

#include "install_log.h"
#include "package/extract_record.h"
#include "script/lettered_key.h"
#include "script/profile.h"
#include "startup/bounded_text.h"
#include "system_command.h"

namespace kq {

int InstallPackageFiles(const SetupContext& context) {
    // A negative count installs nothing, like a missing one.
    const int count = static_cast<int>(ReadProfileInt(kInstallSection, "FileNum", 0, g_text.script_path));
    int result = 1;
    for (int i = 0; i < count && result == 1; ++i) {
        char destination[kTextBufferSize];
        if (!CopyText(destination, sizeof destination, context.install_folder)) return 0;
        result = ExtractRecord(context.instance, destination, kInstallPlaced, g_text.script_path);
    }
    return result;
}

void RegisterScriptDlls(const SetupContext& context) {
    char dll_name[kValueReadSize];
    for (; ReadLetteredKey(kInstallSection, "dll", g_dll_letter, dll_name, sizeof dll_name, g_text.script_path) != 0;
         ++g_dll_letter) {
        char path[kTextBufferSize];
        LetteredKey key;
        if (!CopyText(path, sizeof path, context.install_folder) || !AppendText(path, sizeof path, "\\") ||
            !AppendText(path, sizeof path, dll_name) || !MakeLetteredKey(key, "dll", g_dll_letter))
            continue;
        WriteProfileText(kUninstallSection, key.text, path, g_text.script_path);
        RegisterDll(context.install_folder, dll_name);
    }
    ++g_dll_letter;  // the read that found nothing advances the letter too
}

}  // namespace kq
