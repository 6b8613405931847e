// Message boxes, with or without an owner window.
#include "message_box.h"

namespace kq {

MessageBoxHook g_message_box_hook;

int ShowMessage(const char* text, const char* caption, UINT flags) {
    return ShowOwnedMessage(nullptr, text, caption, flags);
}

int ShowOwnedMessage(HWND owner, const char* text, const char* caption, UINT flags) {
    if (g_message_box_hook != nullptr) return g_message_box_hook(text, caption, flags);
    return MessageBoxA(owner, text, caption, flags);
}

}  // namespace kq
