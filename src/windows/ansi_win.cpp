#include "windows/ansi_win.h"

#include "windows/wide.h"

#include <windows.h>

namespace quellix::win {

std::optional<std::string> WindowsAnsiCodePage::toAnsi(std::string_view utf8) {
    if (utf8.empty()) {
        return std::string();
    }
    // Text that is not valid UTF-8 has no faithful form either.
    const int length = static_cast<int>(utf8.size());
    int wideSize =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (wideSize <= 0) {
        return std::nullopt;
    }
    if (GetACP() == CP_UTF8) {
        return std::string(utf8);
    }
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wideSize);
    // No best fit: "Ā" must not quietly become "A" in a stored path.
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0,
                                   nullptr, &usedDefault);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string ansi(static_cast<size_t>(size), '\0');
    size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, ansi.data(),
                               size, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    ansi.resize(static_cast<size_t>(size));
    return ansi;
}

std::string WindowsAnsiCodePage::fromAnsi(std::string_view ansi) {
    if (ansi.empty()) {
        return {};
    }
    const int length = static_cast<int>(ansi.size());
    int wideSize = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (wideSize <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), wideSize);
    return narrow(wide);
}

} // namespace quellix::win
