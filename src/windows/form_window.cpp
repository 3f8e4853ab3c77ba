#include "windows/form_window.h"

#include "windows/banner_win.h"
#include "windows/dpi_win.h"
#include "windows/panel_win.h"
#include "windows/wide.h"

#include <commctrl.h>

namespace quellix::win {
namespace {

using layout::Colour;
using layout::ControlRow;
using layout::Kind;

constexpr const wchar_t* kFormClass = L"Form1";
// Fixed single border with the close box alone: no sizing, no minimize, no maximize.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
// Control identifiers start above IDOK and IDCANCEL, which the dialog manager sends on its own.
constexpr int kFirstId = 100;
constexpr int kAppIcon = 1;
// Labels of this height (twips) or less hold one line of text.
constexpr int kOneLine = 255;

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

HFONT makeFont(const wchar_t* face, int hundredthsOfPoint, int weight, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(hundredthsOfPoint, dpi, 7200);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(font.lfFaceName, LF_FACESIZE, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

wchar_t upper(wchar_t letter) {
    // CharUpperW takes a single character in the low word of its pointer argument.
    const auto asPointer = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(letter));
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(asPointer)));
}

// Where the window opens: centred on the work area of the primary screen.
POINT centredOrigin(const RECT& outer) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LONG w = outer.right - outer.left;
    const LONG h = outer.bottom - outer.top;
    return {std::max(work.left, work.left + (work.right - work.left - w) / 2),
            std::max(work.top, work.top + (work.bottom - work.top - h) / 2)};
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
    type.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    type.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_ACTIVEBORDER + 1));
    type.lpszClassName = kFormClass;
    if (!RegisterClassExW(&type) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }

    const ControlRow& form = layout::rows().front();
    const int dpi = systemDpi();
    const RECT outer =
        outerRectForClient(layout::toPixels(form.rect.width, dpi),
                           layout::toPixels(form.rect.height, dpi), kFormStyle, kFormExStyle, dpi);
    const POINT origin = centredOrigin(outer);
    CreateWindowExW(kFormExStyle, kFormClass, widen(form.caption).c_str(), kFormStyle, origin.x,
                    origin.y, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                    instance_, this);
    return window_ != nullptr;
}

void FormWindow::show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
    // The keyboard starts on the tabs: arrows change tab, Tab goes on to the controls.
    SetFocus(control("SSTab1"));
}

void FormWindow::close() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

HWND FormWindow::control(std::string_view name) const {
    if (name == layout::rows().front().name) {
        return window_;
    }
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

int FormWindow::currentTab() const {
    return static_cast<int>(SendMessageW(control("SSTab1"), TCM_GETCURSEL, 0, 0));
}

void FormWindow::selectTab(int index) {
    SendMessageW(control("SSTab1"), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    showCurrentPage();
}

bool FormWindow::preTranslate(MSG& message) {
    if (window_ == nullptr) {
        return false;
    }
    const bool ours = message.hwnd == window_ || IsChild(window_, message.hwnd);
    if (ours && message.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 &&
        (message.wParam == VK_TAB || message.wParam == VK_NEXT || message.wParam == VK_PRIOR)) {
        const bool back =
            message.wParam == VK_PRIOR || (message.wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
        const int count = static_cast<int>(pages_.size());
        selectTab((currentTab() + (back ? count - 1 : 1)) % count);
        SetFocus(control("SSTab1"));
        return true;
    }
    if (ours && message.message == WM_SYSCHAR &&
        pressMnemonic(static_cast<wchar_t>(message.wParam))) {
        return true;
    }
    return IsDialogMessageW(window_, &message) != 0;
}

bool FormWindow::pressMnemonic(wchar_t letter) {
    // The controls now on screen whose caption marks this letter, in Tab order.
    std::vector<HWND> marked;
    const wchar_t wanted = upper(letter);
    for (const ControlRow& row : layout::rows()) {
        HWND window = control(row.name);
        if ((row.kind != Kind::Button && row.kind != Kind::CheckBox) || window == nullptr ||
            !IsWindowVisible(window) || !IsWindowEnabled(window)) {
            continue;
        }
        const std::wstring caption = widen(row.caption);
        const size_t amp = caption.find(L'&');
        if (amp != std::wstring::npos && amp + 1 < caption.size() &&
            upper(caption[amp + 1]) == wanted) {
            marked.push_back(window);
        }
    }
    if (marked.empty()) {
        return false;
    }
    if (marked.size() == 1) {
        // The one control of that letter acts, as if clicked.
        SetFocus(marked.front());
        SendMessageW(marked.front(), BM_CLICK, 0, 0);
        return true;
    }
    // Several share the letter: each press moves on to the next of them, and none acts.
    HWND focus = GetFocus();
    size_t next = 0;
    for (size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] == focus) {
            next = (i + 1) % marked.size();
        }
    }
    SetFocus(marked[next]);
    return true;
}

// --- Controls by name ---------------------------------------------------------------------------

std::string FormWindow::text(std::string_view name) const {
    HWND window = control(name);
    return window == nullptr ? std::string() : narrow(windowText(window));
}

void FormWindow::setText(std::string_view name, const std::string& text) {
    if (HWND window = control(name)) {
        SetWindowTextW(window, widen(text).c_str());
    }
    if (auto box = groupBoxes_.find(name); box != groupBoxes_.end()) {
        SetWindowTextW(box->second, widen(text).c_str());
    }
}

bool FormWindow::enabled(std::string_view name) const {
    HWND window = control(name);
    return window != nullptr && IsWindowEnabled(window);
}

void FormWindow::setEnabled(std::string_view name, bool enabled) {
    if (HWND window = control(name)) {
        EnableWindow(window, enabled);
    }
}

bool FormWindow::visible(std::string_view name) const {
    // The control's own state: a control on a tab that is not current still counts as visible.
    HWND window = control(name);
    return window != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void FormWindow::setVisible(std::string_view name, bool visible) {
    if (HWND window = control(name)) {
        ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    }
}

int FormWindow::value(std::string_view name) const {
    HWND window = control(name);
    return window == nullptr ? 0 : static_cast<int>(SendMessageW(window, BM_GETCHECK, 0, 0));
}

void FormWindow::storeValue(std::string_view name, int value) {
    if (HWND window = control(name)) {
        SendMessageW(window, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

// --- Messages -----------------------------------------------------------------------------------

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
    case WM_DRAWITEM:
        onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
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
        window_ = nullptr;
        byName_.clear();
        rowOf_.clear();
        groupBoxes_.clear();
        pages_.clear();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void FormWindow::onCreate() {
    dpi_ = windowDpi(window_);
    sizeClientArea(nullptr);

    makeFonts();
    int id = kFirstId;
    for (const ControlRow& row : layout::rows().subspan(1)) {
        createControl(row, id++);
    }
    // A frame's drawn border goes under the frame's controls.
    for (auto& [name, box] : groupBoxes_) {
        SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    placeControls();
    showCurrentPage();
}

HWND FormWindow::createControl(const ControlRow& row, int id) {
    HWND parent = control(row.container);
    if (parent == nullptr || row.kind == Kind::FileDialog) {
        return nullptr;
    }
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (row.visible) {
        style |= WS_VISIBLE;
    }
    if (!row.enabled) {
        style |= WS_DISABLED;
    }
    DWORD exStyle = 0;
    const wchar_t* type = L"STATIC";
    const std::wstring caption = widen(row.caption);
    HWND window = nullptr;
    auto* menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));

    switch (row.kind) {
    case Kind::Tabs:
        window = CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                 style | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 0, 0, parent, menu,
                                 instance_, nullptr);
        break;
    case Kind::Page: {
        window = createPanel(parent, instance_, brushOf(backOf(row)), true);
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
        window = createPanel(parent, instance_, brushOf(backOf(row)), false);
        SetWindowTextW(window, caption.c_str());
        ShowWindow(window, row.visible ? SW_SHOWNA : SW_HIDE);
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
        // A label one line high keeps its text on that line rather than wrap it out of sight.
        style |= SS_NOPREFIX | (row.align == layout::Align::Centre ? SS_CENTER
                                : row.rect.height <= kOneLine      ? SS_LEFTNOWORDWRAP
                                                                   : SS_LEFT);
        break;
    case Kind::Picture:
        style |= SS_OWNERDRAW;
        break;
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
    return window;
}

void FormWindow::sizeClientArea(const POINT* origin) {
    const ControlRow& form = layout::rows().front();
    const int w = layout::toPixels(form.rect.width, dpi_);
    const int h = layout::toPixels(form.rect.height, dpi_);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (origin == nullptr ? SWP_NOMOVE : 0);
    const RECT outer = outerRectForClient(w, h, kFormStyle, kFormExStyle, dpi_);
    SetWindowPos(window_, nullptr, origin ? origin->x : 0, origin ? origin->y : 0,
                 outer.right - outer.left, outer.bottom - outer.top, flags);
    // The frame may be drawn at other metrics than the ones asked for: measure and correct.
    RECT client;
    RECT window;
    GetClientRect(window_, &client);
    GetWindowRect(window_, &window);
    if (client.right != w || client.bottom != h) {
        SetWindowPos(window_, nullptr, 0, 0, window.right - window.left + w - client.right,
                     window.bottom - window.top + h - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

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

Colour FormWindow::backOf(const ControlRow& row) const {
    for (const ControlRow* r = &row; r != nullptr; r = layout::find(r->container)) {
        if (r->back != Colour::Inherit) {
            return r->back;
        }
    }
    return Colour::ButtonFace;
}

void FormWindow::placeControls() {
    auto px = [this](int twips) { return layout::toPixels(twips, dpi_); };
    std::map<std::string_view, POINT> pageOrigin; // within the tab control
    for (const ControlRow& row : layout::rows().subspan(1)) {
        HWND window = control(row.name);
        if (window == nullptr) {
            continue;
        }
        if (row.kind == Kind::Page) {
            HWND tabs = GetParent(window);
            RECT area;
            GetClientRect(tabs, &area);
            SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
            MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       TRUE);
            pageOrigin[row.name] = {area.left, area.top};
            continue;
        }
        POINT offset{0, 0};
        if (auto page = pageOrigin.find(row.container); page != pageOrigin.end()) {
            offset = page->second;
        }
        const int w = px(row.rect.width);
        const int h = px(row.rect.height);
        MoveWindow(window, px(row.rect.left) - offset.x, px(row.rect.top) - offset.y, w, h, TRUE);
        if (auto box = groupBoxes_.find(row.name); box != groupBoxes_.end()) {
            MoveWindow(box->second, 0, 0, w, h, TRUE);
        }
    }
}

void FormWindow::showCurrentPage() {
    const int current = currentTab();
    HWND focus = GetFocus();
    for (size_t i = 0; i < pages_.size(); ++i) {
        const bool shown = static_cast<int>(i) == current;
        if (!shown && focus != nullptr && IsChild(pages_[i], focus)) {
            SetFocus(control("SSTab1"));
        }
        ShowWindow(pages_[i], shown ? SW_SHOWNA : SW_HIDE);
    }
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
    const ControlRow& row = *it->second;
    if (row.kind == Kind::Button || row.kind == Kind::CheckBox) {
        // The handler may close the window: nothing of this object is used after it.
        click(row.name);
    }
}

LRESULT FormWindow::onNotify(const NMHDR& header) {
    if (header.hwndFrom == control("SSTab1") && header.code == TCN_SELCHANGE) {
        showCurrentPage();
    }
    return 0;
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
