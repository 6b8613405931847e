// The backdrop window's class, creation, procedure and position lock.
#include "backdrop_window.h"

#include "backdrop_paint.h"
#include "install/install_sequence.h"
#include "resources/resource_ids.h"
#include "startup/text_buffers.h"

namespace kq {
namespace {

// 0 until the backdrop window's first position change (its showing), then 1
// for good; written only by LockPosition.
int g_position_locked;

// Lets the first change through; every later one keeps the window where and
// as large as it is and unredrawn. The flags are replaced, not combined, so
// a request to show, hide or reorder is dropped as well.
void LockPosition(WINDOWPOS& change) {
    if (g_position_locked == 0) {
        g_position_locked = 1;
        return;
    }
    change.flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER;
}

}  // namespace

int CreateBackdropWindow(HINSTANCE instance, int) {
    WNDCLASSA window_class = {};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = BackdropWindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(KQ_ICON_SETUP));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    window_class.lpszClassName = kBackdropClassName;
    RegisterClassA(&window_class);  // a failure shows as a failed creation

    const int height = GetSystemMetrics(SM_CYSCREEN);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const HWND window = CreateWindowExA(0, kBackdropClassName, kBackdropClassName, WS_VISIBLE | WS_OVERLAPPED, 0, 0,
                                        width, height, nullptr, nullptr, instance, nullptr);
    return window != nullptr ? 1 : 0;
}

LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        PostMessageA(window, WM_COMMAND, kInstallCommand, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wparam) != kInstallCommand) break;
        RunInstallSequence(window, g_setup);
        return 0;
    case WM_TIMER:
        OnCleanupTimer(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_WINDOWPOSCHANGING:
        LockPosition(*reinterpret_cast<WINDOWPOS*>(lparam));
        return 0;
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace kq
