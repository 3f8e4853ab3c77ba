#include "windows/dialogs_win.h"

#include "windows/wide.h"

#include <commdlg.h>

namespace quellix::win {

Answer WindowsDialogs::showMessage(const std::string& text, Buttons buttons) {
    UINT type = buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK;
    int answer = MessageBoxW(owner_, widen(text).c_str(), L"quellix", type | MB_SETFOREGROUND);
    return answer == IDOK ? Answer::Ok : Answer::Cancel;
}

std::string WindowsDialogs::chooseFile(const std::string& title,
                                       const std::vector<FileFilter>& filters) {
    std::wstring filter; // pairs of NUL-terminated texts, closed by one more NUL
    for (const FileFilter& f : filters) {
        filter += widen(f.description) + L'\0' + widen(f.pattern) + L'\0';
    }
    filter += L'\0';
    std::wstring wideTitle = widen(title);
    std::wstring file(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size()); // in characters, not bytes
    dialog.lpstrTitle = wideTitle.c_str();
    // The launcher's own current folder is left alone by browsing.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) {
        return {};
    }
    file.resize(wcslen(file.c_str()));
    return narrow(file);
}

} // namespace quellix::win
