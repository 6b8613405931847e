// Finding and reading message boxes.
#include "message_boxes.h"

#include "window_finder.h"

namespace kqgui {

std::string MessageBoxText(HWND window) {
    return ControlText(window, kMessageTextId);
}

bool ShowsMessageBox(DWORD process_id) {
    for (HWND window : VisibleTopLevelWindowsOf(process_id))
        if (ClassOf(window) == kDialogClass && GetDlgItem(window, kMessageTextId) != nullptr) return true;
    return false;
}

HWND WaitForMessageBox(DWORD process_id, const std::string& caption, const std::string& text, DWORD timeout_ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : VisibleTopLevelWindowsOf(process_id)) {
                if (ClassOf(window) == kDialogClass && GetDlgItem(window, kMessageTextId) != nullptr &&
                    TextOf(window) == caption && MessageBoxText(window) == text) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout_ms);
    return found;
}

}  // namespace kqgui
