#include "windows/dialogs_win.h"

#include "windows/wide.h"

#include <commdlg.h>

namespace quellix::win {

WindowsDialogs::~WindowsDialogs() {
    if (context_ != INVALID_HANDLE_VALUE) {
        DeactivateActCtx(0, cookie_);
        ReleaseActCtx(context_);
    }
}

void WindowsDialogs::useCommonControls6() {
    if (context_ != INVALID_HANDLE_VALUE) {
        return;
    }
    ACTCTXW manifest{};
    manifest.cbSize = sizeof(manifest);
    manifest.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    manifest.hModule = GetModuleHandleW(nullptr);
    manifest.lpResourceName = MAKEINTRESOURCEW(2); // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
    context_ = CreateActCtxW(&manifest);
    if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) {
        ReleaseActCtx(context_);
        context_ = INVALID_HANDLE_VALUE;
    }
}

Answer WindowsDialogs::showMessage(const std::string& text, Buttons buttons) {
    useCommonControls6();
    UINT type = buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK;
    int answer = MessageBoxW(owner_, widen(text).c_str(), L"quellix", type | MB_SETFOREGROUND);
    return answer == IDOK ? Answer::Ok : Answer::Cancel;
}

std::string WindowsDialogs::chooseFile(const std::string& title,
                                       const std::vector<FileFilter>& filters) {
    useCommonControls6();
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
