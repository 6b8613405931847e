// A first install sequence that stops after the wizard: it proposes the
// default folder, titles and maximises the backdrop, runs the setup wizard
// and closes the window. The full sequence (installing the files, registering,
// shortcuts, the closing question and the clean-up timer) replaces it.
#include "install_sequence.h"

#include "startup/bounded_text.h"
#include "ui/display_text.h"
#include "ui/setup_wizard.h"

namespace kq {
namespace {

void ReadInstallValue(const char* key, char* dest) {
    GetPrivateProfileStringA("Install", key, "", dest, kTextBufferSize, g_text.script_path);
}

// The temp folder's drive root + "Program Files\" + DefDir, in the folder
// buffer and the install folder. A folder that does not fit stays empty.
void ProposeInstallFolder(SetupContext& context) {
    ReadInstallValue("DefDir", g_text.name);
    char temp[kTextBufferSize];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    size_t root = 0;
    while (root < length && root < sizeof temp && temp[root] != '\\') ++root;
    g_text.folder[0] = '\0';
    const bool composed = root < length && AppendBytes(g_text.folder, kTextBufferSize, temp, root + 1) &&
                          AppendText(g_text.folder, kTextBufferSize, "Program Files\\") &&
                          AppendText(g_text.folder, kTextBufferSize, g_text.name);
    if (!composed) g_text.folder[0] = '\0';
    if (!CopyText(context.install_folder, sizeof context.install_folder, g_text.folder)) context.install_folder[0] = '\0';
}

}  // namespace

void RunInstallSequence(HWND backdrop, SetupContext& context) {
    ProposeInstallFolder(context);
    ReadInstallValue("AppName", g_text.name);
    ReadInstallValue("AppBy", g_text.message);
    const char* const title[] = {g_text.name, " ", "Setup"};
    ComposeCut(g_text.title, kTextBufferSize, title, sizeof title / sizeof title[0]);
    SetWindowTextA(backdrop, g_text.title);
    ShowWindow(backdrop, SW_SHOWMAXIMIZED);
    UpdateWindow(backdrop);
    // Whether finished, cancelled or ended early, this sequence installs nothing.
    (void)RunSetupWizard(backdrop, context.instance);
    PostMessageA(backdrop, WM_DESTROY, 0, 0);
}

void OnCleanupTimer(HWND backdrop) {
    KillTimer(backdrop, 1);
    PostMessageA(backdrop, WM_DESTROY, 0, 0);
}

}  // namespace kq
