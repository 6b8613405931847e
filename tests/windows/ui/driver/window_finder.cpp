// Window enumeration and cross-process text access.
#include "window_finder.h"

namespace kqgui {
namespace {

constexpr UINT kMessageTimeout = 10000;

struct Enumeration {
    DWORD process_id;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* enumeration = reinterpret_cast<Enumeration*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == enumeration->process_id) enumeration->found.push_back(window);
    return TRUE;
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kMessageTimeout, &result)) return 0;
    return static_cast<LRESULT>(result);
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD process_id) {
    Enumeration enumeration{process_id, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&enumeration));
    return enumeration.found;
}

std::vector<HWND> VisibleTopLevelWindowsOf(DWORD process_id) {
    std::vector<HWND> visible;
    for (HWND window : TopLevelWindowsOf(process_id))
        if (IsWindowVisible(window)) visible.push_back(window);
    return visible;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string ControlText(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? TextOf(control) : std::string();
}

void SetText(HWND window, const std::string& text) {
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FindVisibleWindow(DWORD process_id, const std::string& class_name, const std::string& caption) {
    for (HWND window : VisibleTopLevelWindowsOf(process_id))
        if (ClassOf(window) == class_name && (caption.empty() || TextOf(window) == caption)) return window;
    return nullptr;
}

HWND WaitForVisibleWindow(DWORD process_id, const std::string& class_name, const std::string& caption,
                          DWORD timeout_ms) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindVisibleWindow(process_id, class_name, caption)) != nullptr; }, timeout_ms);
    return found;
}

bool WaitForGone(HWND window, DWORD timeout_ms) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout_ms);
}

RECT RectIn(HWND window, HWND reference) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ClickButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostKey(HWND window, WPARAM virtual_key) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtual_key), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, virtual_key, 1 | static_cast<LPARAM>(scan) << 16);
    PostMessageA(window, WM_KEYUP, virtual_key, 1 | static_cast<LPARAM>(scan) << 16 | 3LL << 30);
}

bool WaitForPostedMessagesHandled(HWND edit) {
    // EM_GETSEL answers start and end in one result; its pointer arguments
    // would not cross the process boundary.
    const auto selection = [&] { return static_cast<DWORD>(Send(edit, EM_GETSEL, 0, 0)); };
    // A selection unlike the present one marks the moment the queue got this far.
    const DWORD marker = selection() == MAKELONG(1, 2) ? 2 : 1;
    PostMessageA(edit, EM_SETSEL, marker, marker + 1);
    // A control destroyed meanwhile (its dialog closed) never shows the marker.
    WaitUntil([&] { return !IsWindow(edit) || selection() == static_cast<DWORD>(MAKELONG(marker, marker + 1)); });
    return IsWindow(edit) && selection() == static_cast<DWORD>(MAKELONG(marker, marker + 1));
}

}  // namespace kqgui
