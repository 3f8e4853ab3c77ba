// Form1's controls reached by name. A control whose page is not built yet keeps what is set on it
// here, answers from it, and is created with it.

#include "windows/form_window.h"
#include "windows/wide.h"

namespace quellix::win {
namespace {

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

HWND FormWindow::created(std::string_view name) const {
    if (name == layout::rows().front().name) {
        return window_;
    }
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

RECT FormWindow::screenRect(std::string_view name) {
    RECT area{};
    const layout::ControlRow* row = layout::find(name);
    if (HWND window = control(name)) {
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    } else if (row != nullptr && pictures_.contains(name)) {
        area = pixelRect(*row);
        MapWindowPoints(created(row->container), nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    return area;
}

HWND FormWindow::settable(std::string_view name) {
    if (drawnLabels_.contains(name)) {
        createDrawnLabels(); // its change is then drawn by the label itself
    }
    return created(name);
}

const layout::ControlRow* FormWindow::waiting(std::string_view name) const {
    const layout::ControlRow* row = layout::find(name);
    if (row == nullptr || row->kind == layout::Kind::FileDialog || window_ == nullptr ||
        created(name) != nullptr) {
        return nullptr;
    }
    return unbuilt_.contains(pageOf(*row)) || drawnLabels_.contains(name) ? row : nullptr;
}

const FormWindow::Pending* FormWindow::pendingOf(std::string_view name) const {
    auto it = pending_.find(name);
    return it == pending_.end() ? nullptr : &it->second;
}

std::string FormWindow::text(std::string_view name) const {
    if (HWND window = created(name)) {
        return narrow(windowText(window));
    }
    const layout::ControlRow* row = waiting(name);
    const Pending* set = pendingOf(name);
    return row == nullptr                ? std::string()
           : set != nullptr && set->text ? *set->text
                                         : std::string(row->caption);
}

void FormWindow::setText(std::string_view name, const std::string& text) {
    if (HWND window = settable(name)) {
        SetWindowTextW(window, widen(text).c_str());
    } else if (waiting(name) != nullptr) {
        pending_[std::string(name)].text = text;
    }
    if (auto box = groupBoxes_.find(name); box != groupBoxes_.end()) {
        SetWindowTextW(box->second, widen(text).c_str());
    }
}

bool FormWindow::enabled(std::string_view name) const {
    if (HWND window = created(name)) {
        return IsWindowEnabled(window) != 0;
    }
    if (pictures_.contains(name)) {
        return layout::find(name)->enabled; // a picture takes no input: it keeps the table's
    }
    const layout::ControlRow* row = waiting(name);
    const Pending* set = pendingOf(name);
    return row != nullptr && (set != nullptr && set->enabled ? *set->enabled : row->enabled);
}

void FormWindow::setEnabled(std::string_view name, bool enabled) {
    if (HWND window = settable(name)) {
        EnableWindow(window, enabled);
    } else if (waiting(name) != nullptr) {
        pending_[std::string(name)].enabled = enabled;
    }
}

bool FormWindow::visible(std::string_view name) const {
    // The control's own state: a control on a tab that is not current still counts as visible.
    if (auto picture = pictures_.find(name); picture != pictures_.end()) {
        return picture->second;
    }
    if (HWND window = created(name)) {
        return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    const layout::ControlRow* row = waiting(name);
    const Pending* set = pendingOf(name);
    return row != nullptr && (set != nullptr && set->visible ? *set->visible : row->visible);
}

void FormWindow::setVisible(std::string_view name, bool visible) {
    if (pictures_.contains(name)) {
        showPicture(*layout::find(name), visible);
        return;
    }
    if (HWND window = settable(name)) {
        ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    } else if (waiting(name) != nullptr) {
        pending_[std::string(name)].visible = visible;
    }
}

int FormWindow::value(std::string_view name) const {
    if (HWND window = created(name)) {
        return static_cast<int>(SendMessageW(window, BM_GETCHECK, 0, 0));
    }
    const Pending* set = waiting(name) != nullptr ? pendingOf(name) : nullptr;
    return set != nullptr && set->value ? *set->value : 0;
}

void FormWindow::storeValue(std::string_view name, int value) {
    if (HWND window = created(name)) {
        SendMessageW(window, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    } else if (waiting(name) != nullptr) {
        pending_[std::string(name)].value = value;
    }
}

} // namespace quellix::win
