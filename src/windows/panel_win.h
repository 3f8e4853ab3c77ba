#pragma once
// A plain container window: a tab's page or a frame's inside. It paints its own background and
// hands what its controls report (commands, colours) and the drawing of its contents to the
// top-level window, so that the top-level window alone handles every control whatever its
// container.

#include <windows.h>

namespace quellix::win {

inline constexpr const wchar_t* kPanelClass = L"QuellixPanel";
// Sent to the top-level window when a panel paints, after its background: wParam the HDC, lParam
// the panel. What the panel draws itself (not its child windows) is drawn then.
inline constexpr UINT kPaintPanel = WM_APP + 16;

void registerPanelClass(HINSTANCE instance);

// A child panel of `parent`, painted with `background` (not owned by the panel). A panel that
// paints under a child covering it all (a frame's drawn border) must not clip its children.
HWND createPanel(HWND parent, HINSTANCE instance, HBRUSH background, bool clipChildren);

} // namespace quellix::win
