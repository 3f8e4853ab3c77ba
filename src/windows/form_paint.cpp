// Form1's fonts, colours and pictures: the controls' fonts, grounds and texts; the tick and the
// game icons, drawn by the frames that hold them.

#include "windows/form_window.h"
#include "windows/wide.h"

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

HFONT makeFont(const wchar_t* face, int hundredthsOfPoint, int weight, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(hundredthsOfPoint, dpi, 7200);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(font.lfFaceName, LF_FACESIZE, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The row's text and ground colours set on `dc`; the brush of its ground.
HBRUSH setColours(HDC dc, const ControlRow& row) {
    const Colour back = backOf(row);
    SetBkColor(dc, colourOf(back));
    SetTextColor(dc,
                 row.text != Colour::Inherit ? colourOf(row.text) : GetSysColor(COLOR_WINDOWTEXT));
    return brushOf(back);
}

} // namespace

void FormWindow::makeFonts() {
    windowFont_ = makeFont(L"MS Shell Dlg 2", 800, FW_NORMAL, dpi_);
    titleFont_ = makeFont(L"Tahoma", 2775, FW_NORMAL, dpi_);
    boldFont_ = makeFont(L"MS Sans Serif", 975, FW_BOLD, dpi_);
}

void FormWindow::freeFonts() {
    for (HFONT* font : {&windowFont_, &titleFont_, &boldFont_}) {
        if (*font != nullptr) {
            DeleteObject(*font);
            *font = nullptr;
        }
    }
}

HFONT FormWindow::fontFor(layout::Font font) const {
    switch (font) {
    case layout::Font::Title:
        return titleFont_;
    case layout::Font::Bold:
        return boldFont_;
    default:
        return windowFont_;
    }
}

HBRUSH FormWindow::backgroundBrush(const ControlRow& row) const {
    return brushOf(backOf(row));
}

LRESULT FormWindow::onControlColour(UINT message, HDC dc, HWND control, WPARAM wParam,
                                    LPARAM lParam) {
    auto it = rowOf_.find(control);
    if (it == rowOf_.end() || it->second->kind == Kind::Edit) {
        return DefWindowProcW(window_, message, wParam, lParam);
    }
    return reinterpret_cast<LRESULT>(setColours(dc, *it->second));
}

void FormWindow::showPicture(const ControlRow& row, bool shown) {
    bool& current = pictures_[std::string(row.name)];
    if (current != shown) {
        current = shown;
        const RECT area = pixelRect(row);
        InvalidateRect(created(row.container), &area, TRUE);
    }
}

void FormWindow::paintContents(HWND panel, HDC dc) {
    auto it = rowOf_.find(panel);
    if (it == rowOf_.end()) {
        return;
    }
    for (const auto& [name, shown] : pictures_) {
        const ControlRow* row = layout::find(name);
        if (!shown || row == nullptr || row->container != it->second->name) {
            continue;
        }
        RECT area = pixelRect(*row);
        FillRect(dc, &area, brushOf(backOf(*row)));
        if (row->picture == "tick") {
            drawTick(dc, area);
            continue;
        }
        const int w = area.right - area.left;
        const int h = area.bottom - area.top;
        if (HICON icon = icons_.icon(row->picture, std::min(w, h))) {
            DrawIconEx(dc, area.left, area.top, icon, w, h, 0, nullptr, DI_NORMAL);
        }
    }
    // A label as its static control draws it (format, font, colours, ground), so that the window
    // taking its place later changes no pixel. Until then nothing has changed it from the table.
    for (std::string_view name : drawnLabels_) {
        const ControlRow& row = *layout::find(name);
        if (row.container != it->second->name || !row.visible) {
            continue;
        }
        RECT area = pixelRect(row);
        FillRect(dc, &area, setColours(dc, row));
        SetBkMode(dc, OPAQUE);
        const DWORD type = labelStyle(row) & SS_TYPEMASK;
        const UINT format = DT_EXPANDTABS | DT_NOPREFIX |
                            (type == SS_CENTER ? DT_CENTER | DT_WORDBREAK
                             : type == SS_LEFT ? DT_LEFT | DT_WORDBREAK
                                               : DT_LEFT);
        const HGDIOBJ font = SelectObject(dc, fontFor(row.font));
        DrawTextW(dc, widen(row.caption).c_str(), -1, &area, format);
        SelectObject(dc, font);
    }
}

} // namespace quellix::win
