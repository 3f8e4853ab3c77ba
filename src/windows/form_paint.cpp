// Form1's colours and pictures: the controls' grounds and texts, the tick and the game icons.

#include "windows/form_window.h"

namespace quellix::win {
namespace {

using layout::Colour;
using layout::ControlRow;
using layout::Kind;

HBRUSH brushOf(Colour colour) {
    switch (colour) {
    case Colour::ActiveBorder:
        return GetSysColorBrush(COLOR_ACTIVEBORDER);
    case Colour::Menu:
        return GetSysColorBrush(COLOR_MENU);
    case Colour::WindowText:
        return GetSysColorBrush(COLOR_WINDOWTEXT);
    case Colour::Black:
        return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    default:
        return GetSysColorBrush(COLOR_BTNFACE);
    }
}

COLORREF colourOf(Colour colour) {
    switch (colour) {
    case Colour::ActiveBorder:
        return GetSysColor(COLOR_ACTIVEBORDER);
    case Colour::Menu:
        return GetSysColor(COLOR_MENU);
    case Colour::WindowText:
        return GetSysColor(COLOR_WINDOWTEXT);
    case Colour::Black:
        return RGB(0, 0, 0);
    case Colour::DarkRed:
        return RGB(192, 0, 0);
    default:
        return GetSysColor(COLOR_BTNFACE);
    }
}

// The row's ground: its own, or the nearest of its containers'.
Colour backOf(const ControlRow& row) {
    for (const ControlRow* r = &row; r != nullptr; r = layout::find(r->container)) {
        if (r->back != Colour::Inherit) {
            return r->back;
        }
    }
    return Colour::ButtonFace;
}

} // namespace

HBRUSH FormWindow::backgroundBrush(const ControlRow& row) const {
    return brushOf(backOf(row));
}

LRESULT FormWindow::onControlColour(UINT message, HDC dc, HWND control, WPARAM wParam,
                                    LPARAM lParam) {
    auto it = rowOf_.find(control);
    if (it == rowOf_.end() || it->second->kind == Kind::Edit) {
        return DefWindowProcW(window_, message, wParam, lParam);
    }
    const ControlRow& row = *it->second;
    const Colour back = backOf(row);
    SetBkColor(dc, colourOf(back));
    SetTextColor(dc,
                 row.text != Colour::Inherit ? colourOf(row.text) : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(brushOf(back));
}

void FormWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
    auto it = rowOf_.find(item.hwndItem);
    if (it == rowOf_.end() || it->second->kind != Kind::Picture) {
        return;
    }
    const ControlRow& row = *it->second;
    FillRect(item.hDC, &item.rcItem, brushOf(backOf(row)));
    if (row.picture == "tick") {
        drawTick(item.hDC, item.rcItem);
        return;
    }
    const int w = item.rcItem.right - item.rcItem.left;
    const int h = item.rcItem.bottom - item.rcItem.top;
    if (HICON icon = icons_.icon(row.picture, std::min(w, h))) {
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon, w, h, 0, nullptr, DI_NORMAL);
    }
}

} // namespace quellix::win
