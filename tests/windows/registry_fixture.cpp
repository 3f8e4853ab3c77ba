#include "registry_fixture.h"

#include "windows/wide.h"

namespace quellix::wintest {

using win::widen;

std::optional<std::string> textValue(HKEY root, const std::string& path, const std::string& name,
                                     REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(4096, L'\0');
    DWORD type = 0;
    auto size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    LONG status = RegQueryValueExW(key, widen(name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(text.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    text.resize(size / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return win::narrow(text);
}

bool keyExists(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(root, widen(path).c_str(), view, 0);
    }
    return !keyExists(root, path, view);
}

bool setText(HKEY root, const std::string& path, const std::string& name, const std::string& utf8,
             REGSAM view, bool terminated) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    std::wstring text = widen(utf8);
    LONG status = RegSetValueExW(
        key, widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

} // namespace quellix::wintest
