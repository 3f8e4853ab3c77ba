#pragma once
// Pictures of windows as the screen shows them, and picture files of them.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellix::wintest {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first

    COLORREF at(int x, int y) const; // as RGB()
};

// The window's client area (or whole window) as on the screen now.
std::optional<Capture> captureWindow(HWND window, bool clientOnly = false);
// A part of the screen as it is now.
std::optional<Capture> captureArea(const RECT& area);

// Writes the capture as a picture file of the codec's container `format` (GUID_ContainerFormat...,
// PNG when null); false when it could not.
bool savePng(const Capture& capture, const std::wstring& path, const GUID* format = nullptr);

} // namespace quellix::wintest
