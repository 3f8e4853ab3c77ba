#pragma once
// Dots per inch of a window and of the system, with the per-monitor functions of newer systems
// when they are there and the screen's device caps otherwise.

#include <windows.h>

namespace quellix::win {

int systemDpi();
int windowDpi(HWND window);
// The outer rectangle (at 0, 0) of a window whose client area is `width` x `height` pixels.
RECT outerRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

} // namespace quellix::win
