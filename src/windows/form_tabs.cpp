// Form1's tabs and keyboard: turning the pages, Ctrl+Tab, and the captions' mnemonics.

#include "windows/form_window.h"
#include "windows/wide.h"

#include <commctrl.h>

namespace quellix::win {
namespace {

wchar_t upper(wchar_t letter) {
    // CharUpperW takes a single character in the low word of its pointer argument.
    const auto asPointer = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(letter));
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(asPointer)));
}

} // namespace

int FormWindow::currentTab() const {
    return static_cast<int>(SendMessageW(created("SSTab1"), TCM_GETCURSEL, 0, 0));
}

void FormWindow::selectTab(int index) {
    SendMessageW(created("SSTab1"), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    showCurrentPage();
}

void FormWindow::showCurrentPage() {
    const int current = currentTab();
    if (current >= 0 && static_cast<size_t>(current) < pageNames_.size()) {
        buildPage(pageNames_[static_cast<size_t>(current)]);
    }
    HWND focus = GetFocus();
    for (size_t i = 0; i < pages_.size(); ++i) {
        const bool shown = static_cast<int>(i) == current;
        if (!shown && focus != nullptr && IsChild(pages_[i], focus)) {
            SetFocus(created("SSTab1"));
        }
        ShowWindow(pages_[i], shown ? SW_SHOWNA : SW_HIDE);
    }
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
        SetFocus(created("SSTab1"));
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
    for (const layout::ControlRow& row : layout::rows()) {
        HWND window = created(row.name);
        if ((row.kind != layout::Kind::Button && row.kind != layout::Kind::CheckBox) ||
            window == nullptr || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
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

} // namespace quellix::win
