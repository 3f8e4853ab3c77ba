#include "windows/panel_win.h"

namespace quellix::win {
namespace {

LRESULT CALLBACK panelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return SendMessageW(GetAncestor(panel, GA_ROOT), message, wParam, lParam);
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(panel, &client);
        auto brush = reinterpret_cast<HBRUSH>(GetWindowLongPtrW(panel, GWLP_USERDATA));
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(panel, &paint);
        SendMessageW(GetAncestor(panel, GA_ROOT), kPaintPanel, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(panel));
        EndPaint(panel, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: // a themed child drawing what lies under it
        SendMessageW(GetAncestor(panel, GA_ROOT), kPaintPanel, wParam,
                     reinterpret_cast<LPARAM>(panel));
        return 0;
    default:
        return DefWindowProcW(panel, message, wParam, lParam);
    }
}

} // namespace

void registerPanelClass(HINSTANCE instance) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = panelProc;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    type.lpszClassName = kPanelClass;
    RegisterClassExW(&type); // a second registration fails harmlessly
}

HWND createPanel(HWND parent, HINSTANCE instance, HBRUSH background, bool clipChildren) {
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (clipChildren ? WS_CLIPCHILDREN : 0);
    HWND panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", style, 0, 0, 0, 0, parent,
                                 nullptr, instance, nullptr);
    if (panel != nullptr) {
        SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(background));
    }
    return panel;
}

} // namespace quellix::win
