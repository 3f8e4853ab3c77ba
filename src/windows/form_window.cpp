#include "windows/form_window.h"

#include "windows/banner_win.h"
#include "windows/dpi_win.h"
#include "windows/panel_win.h"
#include "windows/wide.h"

#include <commctrl.h>

namespace quellix::win {
namespace {

constexpr const wchar_t* kFormClass = L"Form1";
constexpr int kAppIcon = 1;

// Where the window opens: centred on the work area of the primary screen.
POINT centredOrigin(const RECT& outer) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LONG w = outer.right - outer.left;
    const LONG h = outer.bottom - outer.top;
    return {std::max(work.left, work.left + (work.right - work.left - w) / 2),
            std::max(work.top, work.top + (work.bottom - work.top - h) / 2)};
}

HICON appIcon(HINSTANCE instance, int width, int height) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                         GetSystemMetrics(width), GetSystemMetrics(height),
                                         LR_DEFAULTCOLOR));
}

} // namespace

FormWindow::FormWindow(HINSTANCE instance) : instance_(instance), icons_(instance) {}

FormWindow::~FormWindow() {
    if (window_ != nullptr) {
        // Destroyed with its object, not by the user: the thread's message loop goes on.
        quitOnDestroy_ = false;
        DestroyWindow(window_);
    }
    freeFonts();
}

bool FormWindow::create() {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    registerPanelClass(instance_);
    registerBannerClass(instance_);

    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = windowProc;
    type.hInstance = instance_;
    type.hIcon = appIcon(instance_, SM_CXICON, SM_CYICON);
    type.hIconSm = appIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_ACTIVEBORDER + 1));
    type.lpszClassName = kFormClass;
    if (!RegisterClassExW(&type) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }

    const layout::ControlRow& form = layout::rows().front();
    const int dpi = systemDpi();
    const RECT outer =
        outerRectForClient(layout::toPixels(form.rect.width, dpi),
                           layout::toPixels(form.rect.height, dpi), kStyle, kExStyle, dpi);
    const POINT origin = centredOrigin(outer);
    CreateWindowExW(kExStyle, kFormClass, widen(form.caption).c_str(), kStyle, origin.x, origin.y,
                    outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance_,
                    this);
    return window_ != nullptr;
}

void FormWindow::show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
    // The keyboard starts on the tabs: arrows change tab, Tab goes on to the controls.
    SetFocus(created("SSTab1"));
}

void FormWindow::close() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return onControlColour(message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam), wParam, lParam);
    case kPaintPanel:
        paintContents(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            lastFocus_ = IsChild(window_, focus) ? focus : nullptr;
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        if (quitOnDestroy_) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_NCDESTROY: {
        HWND window = window_;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        forget();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// The window is gone: nothing of it may be reached any more.
void FormWindow::forget() {
    window_ = nullptr;
    byName_.clear();
    rowOf_.clear();
    groupBoxes_.clear();
    pages_.clear();
    pageNames_.clear();
    unbuilt_.clear();
    pending_.clear();
    pictures_.clear();
    drawnLabels_.clear();
}

void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    auto* from = reinterpret_cast<HWND>(lParam);
    if (from == nullptr || HIWORD(wParam) != BN_CLICKED) {
        return;
    }
    auto it = rowOf_.find(from);
    if (it == rowOf_.end()) {
        return;
    }
    const layout::ControlRow& row = *it->second;
    if (row.kind == layout::Kind::Button || row.kind == layout::Kind::CheckBox) {
        // The handler may close the window: nothing of this object is used after it.
        click(row.name);
    }
}

LRESULT FormWindow::onNotify(const NMHDR& header) {
    if (header.hwndFrom == created("SSTab1") && header.code == TCN_SELCHANGE) {
        showCurrentPage();
    }
    return 0;
}

void FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    freeFonts();
    makeFonts();
    for (auto& [window, row] : rowOf_) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(row->font)), FALSE);
    }
    const POINT origin{suggested.left, suggested.top};
    sizeClientArea(&origin);
    placeControls();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace quellix::win
