// Screen capture through a top-down 32-bit DIB section.
#include "screen_capture.h"

#include <cstring>

namespace kqgui {
namespace {

Screenshot CopyFrom(HDC source, int width, int height) {
    Screenshot shot;
    if (width <= 0 || height <= 0) return shot;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        shot.width = width;
        shot.height = height;
        shot.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * sizeof(uint32_t));
        for (uint32_t& pixel : shot.pixels) pixel &= 0x00FFFFFF;
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return shot;
}

}  // namespace

COLORREF Screenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const uint32_t pixel = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

Screenshot CaptureScreen() {
    const HDC screen = GetDC(nullptr);
    Screenshot shot = CopyFrom(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ReleaseDC(nullptr, screen);
    return shot;
}

Screenshot CaptureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const HDC dc = GetDC(window);
    Screenshot shot = CopyFrom(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return shot;
}

}  // namespace kqgui
