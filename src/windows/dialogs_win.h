#pragma once

#include "ports.h"

#include <windows.h>

namespace quellix::win {

// Message boxes titled "quellix" without icon, and the system's open-file dialog.
class WindowsDialogs : public DialogsPort {
public:
    WindowsDialogs() = default;
    WindowsDialogs(const WindowsDialogs&) = delete;
    WindowsDialogs& operator=(const WindowsDialogs&) = delete;
    ~WindowsDialogs() override;

    // The window the dialogs belong to (none before the main window exists).
    void setOwner(HWND owner) { owner_ = owner; }
    // Common controls 6 for this thread's windows and dialogs from now on, from the program's own
    // manifest resource: the loader gives it to no start, since a link that shows nothing needs
    // none. Called before the first window; the dialogs call it themselves.
    void useCommonControls6();

    Answer showMessage(const std::string& text, Buttons buttons) override;
    std::string chooseFile(const std::string& title,
                           const std::vector<FileFilter>& filters) override;

private:
    HWND owner_ = nullptr;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

} // namespace quellix::win
