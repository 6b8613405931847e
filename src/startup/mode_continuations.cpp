// The end of installer mode: after staging, the backdrop window and the
// message loop, then the buffers are released in table order.
#include "mode_continuations.h"

#include "text_buffers.h"
#include "ui/backdrop_window.h"

namespace kq {
namespace {

// Runs until the quit request; returns the code it carries.
int RunMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int ContinueInstallerMode(int show_command) {
    if (!CreateBackdropWindow(g_setup.instance, show_command)) {
        FreeModulePathBuffer();
        FreeTextBuffers();
        return 0;
    }
    FreeModulePathBuffer();
    const int exit_code = RunMessageLoop();
    FreeTextBuffers();
    return exit_code;
}

}  // namespace kq
