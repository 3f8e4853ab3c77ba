#pragma once
// What the tests under Wine share: the build folder, scratch folders, whole files, and registry
// values through the W functions in a view (by default the 32-bit one, where installers write).

#include "windows/wide.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace quellix::wintest {

namespace fs = std::filesystem;
using win::narrow, win::widen;

// Where the build puts quellix.exe and game_probe.exe beside the test program.
inline std::string buildFolder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return narrow(fs::path(self).parent_path().wstring());
}

inline std::string scratchFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / L"quellix-tests" / widen(name);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return narrow(folder.wstring());
}

// Creates the folders on the way.
inline bool writeBytes(const std::string& path, const std::string& bytes) {
    std::error_code ignored;
    fs::create_directories(fs::path(widen(path)).parent_path(), ignored);
    return static_cast<bool>(std::ofstream(fs::path(widen(path)), std::ios::binary) << bytes);
}

inline std::optional<std::string> readBytes(const std::string& path) {
    std::ifstream in(fs::path(widen(path)), std::ios::binary);
    using Bytes = std::istreambuf_iterator<char>;
    return in ? std::optional<std::string>(std::in_place, Bytes(in), Bytes()) : std::nullopt;
}

inline bool holds(const std::string& path, const std::string& part) {
    return readBytes(path).value_or("").find(part) != std::string::npos;
}

inline bool copyFile(const std::string& from, const std::string& to) {
    return writeBytes(to, readBytes(from).value_or(""));
}

// A text value; nothing when it cannot be read. (The view's RRF_SUBKEY flag is its KEY_WOW64 flag
// shifted by 8.)
inline std::optional<std::string> regValue(HKEY root, const std::string& path,
                                           const std::string& name, REGSAM view = KEY_WOW64_32KEY) {
    wchar_t data[2048] = {};
    DWORD size = sizeof(data);
    return RegGetValueW(root, widen(path).c_str(), widen(name).c_str(), RRF_RT_REG_SZ | view << 8,
                        nullptr, data, &size)
               ? std::nullopt
               : std::optional(narrow(data));
}

inline bool setText(HKEY root, const std::string& path, const std::string& name,
                    const std::string& text, REGSAM view = KEY_WOW64_32KEY,
                    bool terminated = true) {
    const std::wstring wide = widen(text);
    HKEY key = nullptr;
    const bool set =
        RegCreateKeyExW(root, widen(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                        &key, nullptr) == ERROR_SUCCESS &&
        RegSetValueExW(
            key, widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
            static_cast<DWORD>((wide.size() + terminated) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// Removes the key and everything below it; true when none is left.
inline bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_ALL_ACCESS | view, &key) == 0) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(root, widen(path).c_str(), view, 0);
    }
    return RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | view, &key) ==
           ERROR_FILE_NOT_FOUND;
}

} // namespace quellix::wintest
