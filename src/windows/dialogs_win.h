#pragma once

#include "ports.h"

#include <windows.h>

namespace quellix::win {

// Message boxes titled "quellix" without icon, and the system's open-file dialog.
class WindowsDialogs : public DialogsPort {
public:
    // The window the dialogs belong to (none before the main window exists).
    void setOwner(HWND owner) { owner_ = owner; }

    Answer showMessage(const std::string& text, Buttons buttons) override;
    std::string chooseFile(const std::string& title,
                           const std::vector<FileFilter>& filters) override;

private:
    HWND owner_ = nullptr;
};

} // namespace quellix::win
