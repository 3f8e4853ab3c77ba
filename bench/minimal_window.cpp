// The least window of the launcher's kind, the limit its start is measured against: a program with
// the common-controls 6 and per-monitor DPI manifest that shows a tab control of four tabs, a list
// of thirteen rows with check boxes and three buttons, then waits for input until it is closed.
// Sizes are in pixels at 96 dpi, as the benchmark runs.

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND child(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, int x, int y, int w,
           int h) {
    HWND control = CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   nullptr, nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return control;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = windowProc;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"MinimalWindow";
    RegisterClassExW(&type);
    HWND window =
        CreateWindowExW(0, type.lpszClassName, L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 690, 650, nullptr, nullptr, instance, nullptr);

    HWND tabs = child(window, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, 7, 16, 657, 545);
    for (const wchar_t* caption : {L"Jeux - Part I", L"Jeux - Part II", L"Configuration", L"?"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(TabCtrl_GetItemCount(tabs)),
                     reinterpret_cast<LPARAM>(&item));
    }
    HWND list = child(window, WC_LISTVIEWW, L"", LVS_REPORT | LVS_NOCOLUMNHEADER | WS_BORDER, 24,
                      52, 340, 470);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 300;
    ListView_InsertColumn(list, 0, &column);
    for (int row = 0; row < 13; ++row) {
        wchar_t text[] = L"Jeu 00";
        text[4] = static_cast<wchar_t>(L'0' + (row + 1) / 10);
        text[5] = static_cast<wchar_t>(L'0' + (row + 1) % 10);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text;
        ListView_InsertItem(list, &item);
    }
    const wchar_t* captions[] = {L"&Appliquer", L"&Annuler", L"&Quitter"};
    for (int i = 0; i < 3; ++i) {
        child(window, L"BUTTON", captions[i], WS_TABSTOP | BS_PUSHBUTTON, 400 + i * 90, 575, 85,
              25);
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
