// The backdrop window: its class, creation, procedure and position lock,
// and its picture.
#include "ui/backdrop.h"

#include "ui/resources/resource_ids.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {

namespace {

// 0 until the backdrop window's first position change (its showing), then 1
// for good; written only by LockPosition.
int g_position_locked;

// The progress line (the caller's text, which it keeps) and how far its bar
// is filled, in thousandths; written only by ShowBackdropProgress.
const char* g_progress_text;
unsigned g_progress_thousandths;

// The window's start command and timer handlers; written once, by
// CreateBackdropWindow.
BackdropHandler g_on_start;
BackdropHandler g_on_timer;
BackdropHandler g_on_close;

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

int CreateBackdropWindow(HINSTANCE instance, BackdropHandler on_start, BackdropHandler on_timer,
                         BackdropHandler on_close) {
    g_on_start = on_start;
    g_on_timer = on_timer;
    g_on_close = on_close;
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
        PostMessageA(window, WM_COMMAND, kStartCommand, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wparam) != kStartCommand) break;
        g_on_start(window);
        return 0;
    case WM_CLOSE:
        g_on_close(window);
        return 0;
    case WM_ENDSESSION:
        if (wparam) g_on_close(window);
        return 0;
    case WM_TIMER:
        g_on_timer(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(g_setup.exit_code);
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

namespace {

constexpr int kBandsPerScreen = 220;
constexpr COLORREF kTitleShadow = RGB(128, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Bands of client height / 220 pixels (at least 1), blue from 255 down by one
// per band to black. The last band may reach past the bottom.
void PaintGradient(HDC dc, const RECT& client) {
    int band_height = client.bottom / kBandsPerScreen;
    if (band_height < 1) band_height = 1;
    int blue = 255;
    for (int y = 0; y < client.bottom; y += band_height) {
        const HBRUSH brush = CreateSolidBrush(RGB(0, 0, blue));
        const RECT band = {client.left, y, client.right, y + band_height};
        FillRect(dc, &band, brush);
        DeleteObject(brush);
        if (blue > 0) --blue;
    }
}

HFONT CreateTimesFont(LONG height, LONG weight) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    // The face name always fits LF_FACESIZE.
    (void)CopyText(font.lfFaceName, LF_FACESIZE, "Times New Roman");
    return CreateFontIndirectA(&font);
}

}  // namespace

void PaintBackdrop(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    // A DC for the whole client area: the update region does not clip it.
    const HDC dc = GetDC(window);
    PaintGradient(dc, client);

    const HFONT title_font = CreateTimesFont(-36, FW_BOLD);
    const HGDIOBJ previous_font = SelectObject(dc, title_font);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF previous_colour = SetTextColor(dc, kTitleShadow);
    // The white title lies 4 pixels above and, being centred in a rectangle 4
    // pixels narrower, 2 to the left of the dark red one: a shadow below right.
    RECT title = {client.left, 330, client.right, 380};
    DrawTextA(dc, g_text.name, -1, &title, DT_CENTER);
    title.top = 326;
    title.right = client.right - 4;
    SetTextColor(dc, kWhite);
    DrawTextA(dc, g_text.name, -1, &title, DT_CENTER);

    const HFONT credit_font = CreateTimesFont(-18, FW_DONTCARE);
    SelectObject(dc, credit_font);
    DeleteObject(title_font);
    RECT credit = {client.left + 20, client.bottom - 30, client.right, client.bottom - 10};
    DrawTextA(dc, g_text.message, -1, &credit, DT_LEFT | DT_TOP);

    if (g_progress_text != nullptr && g_progress_text[0] != '\0') {
        // Under the title: the text, and a framed bar a third of the width.
        RECT line = {client.left, 400, client.right, 422};
        DrawTextA(dc, g_progress_text, -1, &line, DT_CENTER | DT_NOPREFIX);
        const HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RECT bar = {client.right / 3, 430, client.right - client.right / 3, 446};
        FrameRect(dc, &bar, white);
        bar.right = bar.left + static_cast<LONG>((bar.right - bar.left) * g_progress_thousandths / 1000);
        FillRect(dc, &bar, white);
    }

    SelectObject(dc, previous_font);
    DeleteObject(credit_font);
    SetTextColor(dc, previous_colour);
    ReleaseDC(window, dc);
    EndPaint(window, &paint);
}

void ShowBackdropProgress(HWND window, const char* text, uint64_t done, uint64_t total) {
    g_progress_text = text;
    // In 32 bits (no 64-bit division helper in the stub): both scaled down
    // until done * 1000 fits.
    while (total > 0x3FFFFF) {
        total >>= 1;
        done >>= 1;
    }
    g_progress_thousandths =
        total != 0 && done < total ? static_cast<uint32_t>(done) * 1000 / static_cast<uint32_t>(total) : 1000;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

void HandlePendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace kq
