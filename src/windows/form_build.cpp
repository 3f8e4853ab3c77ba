// Form1's controls from the layout table: created page by page, given their fonts and placed.

#include "windows/banner_win.h"
#include "windows/dpi_win.h"
#include "windows/form_window.h"
#include "windows/panel_win.h"
#include "windows/wide.h"

#include <commctrl.h>

#include <utility>

namespace quellix::win {
namespace {

using layout::ControlRow;
using layout::Kind;

// Control identifiers start above IDOK and IDCANCEL, which the dialog manager sends on its own.
constexpr int kFirstId = 100;
// Labels of this height (twips) or less hold one line of text.
constexpr int kOneLine = 255;

// Created with the window rather than with their page: the tab control and its pages, the
// controls outside the pages, and the banners, which start loading before their page is shown.
bool createdFirst(const ControlRow& row) {
    return row.kind == Kind::Page || row.kind == Kind::Banner || FormWindow::pageOf(row).empty();
}

int idOf(const ControlRow& row) {
    return kFirstId + static_cast<int>(&row - layout::rows().data()) - 1;
}

} // namespace

std::string_view FormWindow::pageOf(const ControlRow& row) {
    for (const ControlRow* r = &row; r != nullptr; r = layout::find(r->container)) {
        if (r->kind == Kind::Page) {
            return r->name;
        }
    }
    return {};
}

DWORD FormWindow::labelStyle(const ControlRow& row) {
    // A label one line high keeps its text on that line rather than wrap it out of sight.
    return SS_NOPREFIX | (row.align == layout::Align::Centre ? SS_CENTER
                          : row.rect.height <= kOneLine      ? SS_LEFTNOWORDWRAP
                                                             : SS_LEFT);
}

void FormWindow::onCreate() {
    dpi_ = windowDpi(window_);
    sizeClientArea(nullptr);
    makeFonts();
    for (const ControlRow& row : layout::rows().subspan(1)) {
        if (createdFirst(row)) {
            createControl(row);
        }
        if (row.kind == Kind::Page) {
            pageNames_.push_back(row.name);
            unbuilt_.insert(row.name);
        }
    }
    placeControls();
    drawLabels_ = true;
    showCurrentPage(); // which fills the first tab's page
    drawLabels_ = false;
}

HWND FormWindow::control(std::string_view name) {
    if (HWND window = created(name)) {
        return window;
    }
    if (drawnLabels_.contains(name)) {
        createDrawnLabels();
        return created(name);
    }
    const ControlRow* row = waiting(name);
    if (row == nullptr) {
        return nullptr;
    }
    buildPage(pageOf(*row));
    return created(name);
}

bool FormWindow::buildNextPage() {
    if (!drawnLabels_.empty()) {
        createDrawnLabels();
        return true;
    }
    for (std::string_view page : pageNames_) {
        if (unbuilt_.contains(page)) {
            buildPage(page);
            return true;
        }
    }
    return false;
}

void FormWindow::buildPage(std::string_view page) {
    if (unbuilt_.erase(page) == 0) {
        return;
    }
    std::vector<const ControlRow*> onPage;
    for (const ControlRow& row : layout::rows().subspan(1)) {
        if (pageOf(row) == page && row.kind != Kind::Page) {
            onPage.push_back(&row);
            if (drawLabels_ && row.kind == Kind::Label) {
                drawnLabels_.insert(row.name);
            } else if (!createdFirst(row)) {
                createControl(row);
            }
        }
    }
    for (const ControlRow* row : onPage) {
        if (auto box = groupBoxes_.find(row->name); box != groupBoxes_.end()) {
            // A frame's drawn border goes under the frame's controls.
            SetWindowPos(box->second, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (createdFirst(*row)) {
            // Back to its place in the table, after the page's other controls (a banner ends
            // its page's rows).
            SetWindowPos(created(row->name), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        placeRow(*row);
    }
}

void FormWindow::createDrawnLabels() {
    const std::set<std::string_view> labels = std::exchange(drawnLabels_, {});
    for (std::string_view name : labels) {
        const ControlRow& row = *layout::find(name);
        createControl(row);
        placeRow(row);
        if (auto box = groupBoxes_.find(row.container); box != groupBoxes_.end()) {
            // A frame's drawn border stays under the controls it holds.
            SetWindowPos(box->second, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

HWND FormWindow::createControl(const ControlRow& row) {
    HWND parent = created(row.container);
    if (parent == nullptr || row.kind == Kind::FileDialog) {
        return nullptr;
    }
    // What was set on the control while it waited for its page.
    Pending set;
    if (auto it = pending_.find(row.name); it != pending_.end()) {
        set = std::move(it->second);
        pending_.erase(it);
    }
    const bool shown = set.visible.value_or(row.visible);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (shown) {
        style |= WS_VISIBLE;
    }
    if (!set.enabled.value_or(row.enabled)) {
        style |= WS_DISABLED;
    }
    DWORD exStyle = 0;
    const wchar_t* type = L"STATIC";
    const std::wstring caption = set.text ? widen(*set.text) : widen(row.caption);
    HWND window = nullptr;
    auto* menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(idOf(row)));

    switch (row.kind) {
    case Kind::Tabs:
        window = CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                 style | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 0, 0, parent, menu,
                                 instance_, nullptr);
        break;
    case Kind::Page: {
        window = createPanel(parent, instance_, backgroundBrush(row), true);
        SetWindowTextW(window, caption.c_str());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        std::wstring tabCaption = caption;
        item.pszText = tabCaption.data();
        SendMessageW(parent, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
        pages_.push_back(window);
        break;
    }
    case Kind::Frame: {
        window = createPanel(parent, instance_, backgroundBrush(row), false);
        SetWindowTextW(window, caption.c_str());
        ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
        if ((style & WS_DISABLED) != 0) {
            EnableWindow(window, FALSE);
        }
        HWND box = CreateWindowExW(0, L"BUTTON", caption.c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0, 0,
                                   0, window, nullptr, instance_, nullptr);
        groupBoxes_.emplace(std::string(row.name), box);
        rowOf_[box] = &row;
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(row.font)), FALSE);
        break;
    }
    case Kind::Banner:
        type = kBannerClass;
        break;
    case Kind::Label:
        style |= labelStyle(row);
        break;
    case Kind::Picture:
        pictures_.try_emplace(std::string(row.name), false);
        showPicture(row, shown);
        return nullptr;
    case Kind::Edit:
        type = L"EDIT";
        exStyle = WS_EX_CLIENTEDGE;
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        break;
    case Kind::Button:
        type = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case Kind::CheckBox:
        type = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
    default:
        return nullptr;
    }
    if (window == nullptr) {
        window = CreateWindowExW(exStyle, type, caption.c_str(), style, 0, 0, 0, 0, parent, menu,
                                 instance_, nullptr);
    }
    if (window == nullptr) {
        return nullptr;
    }
    byName_.emplace(std::string(row.name), window);
    rowOf_[window] = &row;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(row.font)), FALSE);
    if (set.value) {
        SendMessageW(window, BM_SETCHECK, static_cast<WPARAM>(*set.value), 0);
    }
    return window;
}

void FormWindow::sizeClientArea(const POINT* origin) {
    const ControlRow& form = layout::rows().front();
    const int w = layout::toPixels(form.rect.width, dpi_);
    const int h = layout::toPixels(form.rect.height, dpi_);
    RECT client;
    GetClientRect(window_, &client);
    if (origin == nullptr && client.right == w && client.bottom == h) {
        return; // created at this size already
    }
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (origin == nullptr ? SWP_NOMOVE : 0);
    const RECT outer = outerRectForClient(w, h, kStyle, kExStyle, dpi_);
    SetWindowPos(window_, nullptr, origin ? origin->x : 0, origin ? origin->y : 0,
                 outer.right - outer.left, outer.bottom - outer.top, flags);
    // The frame may be drawn at other metrics than the ones asked for: measure and correct.
    RECT window;
    GetClientRect(window_, &client);
    GetWindowRect(window_, &window);
    if (client.right != w || client.bottom != h) {
        SetWindowPos(window_, nullptr, 0, 0, window.right - window.left + w - client.right,
                     window.bottom - window.top + h - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormWindow::placeControls() {
    for (const ControlRow& row : layout::rows().subspan(1)) {
        placeRow(row);
    }
}

// Rows are placed in table order: the tab control before its pages, a page before its controls.
void FormWindow::placeRow(const ControlRow& row) {
    HWND window = created(row.name);
    if (window == nullptr) {
        return;
    }
    if (row.kind == Kind::Page) {
        HWND tabs = GetParent(window);
        RECT area;
        GetClientRect(tabs, &area);
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   TRUE);
        pageOrigin_ = {area.left, area.top};
        return;
    }
    const ControlRow* container = layout::find(row.container);
    const POINT offset =
        container != nullptr && container->kind == Kind::Page ? pageOrigin_ : POINT{0, 0};
    const RECT area = pixelRect(row);
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    MoveWindow(window, area.left - offset.x, area.top - offset.y, w, h, TRUE);
    if (auto box = groupBoxes_.find(row.name); box != groupBoxes_.end()) {
        MoveWindow(box->second, 0, 0, w, h, TRUE);
    }
}

RECT FormWindow::pixelRect(const ControlRow& row) const {
    const int left = layout::toPixels(row.rect.left, dpi_);
    const int top = layout::toPixels(row.rect.top, dpi_);
    return {left, top, left + layout::toPixels(row.rect.width, dpi_),
            top + layout::toPixels(row.rect.height, dpi_)};
}

} // namespace quellix::win
