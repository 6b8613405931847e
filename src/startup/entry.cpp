// Mode selection and the start of each mode: installer mode stages the setup
// script and the licence in the temp folder, uninstaller mode takes the log
// path from the command-line tail.
#include "entry.h"

#include "bounded_text.h"
#include "mode_continuations.h"
#include "package/extract_record.h"
#include "text_buffers.h"

namespace kq {
namespace {

constexpr size_t kNameLength = sizeof kUninstallerName - 1;

bool IsUninstallerPath(const char* path, size_t length) {
    // A path shorter than the name cannot name the uninstaller. Only the last
    // 12 characters count; what stands in front of them is not examined.
    return length >= kNameLength && lstrcmpiA(path + (length - kNameLength), kUninstallerName) == 0;
}

// Staged file path = temp folder + name; refused (0) rather than cut short.
int ComposeStagedPath(char* dest, const char* temp_folder, const char* name) {
    return CopyText(dest, kTextBufferSize, temp_folder) && AppendText(dest, kTextBufferSize, name);
}

int RunInstallerMode(HINSTANCE instance, int show_command) {
    g_setup.instance = instance;
    const DWORD temp_length = GetTempPathA(kTextBufferSize, g_module_path);
    if (temp_length == 0 || temp_length >= kTextBufferSize) return 0;
    if (!ComposeStagedPath(g_text.script_path, g_module_path, kStagedScriptName)) return 0;
    if (!ComposeStagedPath(g_text.licence_path, g_module_path, kStagedLicenceName)) return 0;
    if (!ExtractRecord(instance, g_text.script_path, 0, g_text.script_path)) return 0;
    if (!ExtractRecord(instance, g_text.licence_path, 1, g_text.script_path)) return 0;
    return ContinueInstallerMode(show_command);
}

int RunUninstallerMode(const char* command_tail) {
    // A tail too long for the buffer names no log this program could read:
    // the script path stays empty, as for any unreadable log.
    if (!CopyText(g_text.script_path, kTextBufferSize, command_tail)) g_text.script_path[0] = '\0';
    return ContinueUninstallerMode();
}

}  // namespace

int ProgramEntry(HINSTANCE instance, HINSTANCE, const char* command_tail, int show_command) {
    if (!AllocateModulePathBuffer()) return 0;
    const DWORD path_length = GetModuleFileNameA(nullptr, g_module_path, kTextBufferSize);
    if (!AllocateTextBuffers()) {
        FreeModulePathBuffer();
        return 0;
    }
    // A path that filled the buffer was cut short: it cannot be compared.
    const bool whole_path = path_length > 0 && path_length < kTextBufferSize;
    if (whole_path && IsUninstallerPath(g_module_path, path_length)) return RunUninstallerMode(command_tail);
    return RunInstallerMode(instance, show_command);
}

}  // namespace kq
