// Pictures of the screen for checking what a program painted, and a PNG
// writer to keep them as test artefacts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kqgui {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // top-down rows, 0x00RRGGBB

    // The pixel as a COLORREF (0x00BBGGRR), comparable with RGB(...).
    COLORREF At(int x, int y) const;
};

// The whole screen as the display shows it now.
Screenshot CaptureScreen();

// The client area of `window` as its own device context holds it; works for
// windows of this process that are covered or off screen.
Screenshot CaptureClient(HWND window);

// Writes an 8-bit RGB PNG. Returns false if the file cannot be written.
bool WritePng(const Screenshot& shot, const std::string& path);

}  // namespace kqgui
