// The backdrop's picture: a blue-to-black gradient in bands, the application
// name in large shadowed letters and the credit line at the bottom left.
#pragma once

#include <windows.h>

namespace kq {

// Handles WM_PAINT: repaints the whole client area, whatever was invalid.
void PaintBackdrop(HWND window);

}  // namespace kq
