#pragma once
// A plain container window: a tab's page or a frame's inside. It paints its own background and
// hands what its controls report (commands, colours, drawing) to the top-level window, so that
// the top-level window alone handles every control whatever its container.

#include <windows.h>

namespace quellix::win {

inline constexpr const wchar_t* kPanelClass = L"QuellixPanel";

void registerPanelClass(HINSTANCE instance);

// A child panel of `parent`, painted with `background` (not owned by the panel). A panel that
// paints under a child covering it all (a frame's drawn border) must not clip its children.
HWND createPanel(HWND parent, HINSTANCE instance, HBRUSH background, bool clipChildren);

} // namespace quellix::win
