// Painting of the backdrop window. Coordinates are fixed pixels: the title
// and the credit line do not scale with the screen.
#include "backdrop_paint.h"

#include "startup/bounded_text.h"
#include "startup/text_buffers.h"

namespace kq {
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

    SelectObject(dc, previous_font);
    DeleteObject(credit_font);
    SetTextColor(dc, previous_colour);
    ReleaseDC(window, dc);
    EndPaint(window, &paint);
}

}  // namespace kq
