#pragma once
// What the tests under Wine share: the build folder, scratch folders, whole files, programs run to
// their end, the game probe's record, and registry values through the W functions in a view (by
// default the 32-bit one, where the games' installers write).

#include "windows/wide.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace quellix::wintest {

namespace fs = std::filesystem;
using win::narrow, win::widen;

// Where the build puts quellix.exe and game_probe.exe beside the test program.
inline std::string buildFolder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return narrow(fs::path(self).parent_path().wstring());
}

// An empty folder of its own under the temporary folder.
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

inline bool copyFile(const std::string& from, const std::string& to) {
    const std::optional<std::string> bytes = readBytes(from);
    return bytes && writeBytes(to, *bytes);
}

// Runs `exe` with the argument text in `folder`: its exit code, or nothing after 30 seconds.
inline std::optional<DWORD> runProgram(const std::string& exe, const std::string& arguments,
                                       const std::string& folder) {
    std::wstring line = L"\"" + widen(exe) + L"\" " + widen(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // A loaded machine's Wine now and then refuses a start for a moment: try again.
    for (int attempt = 1; !CreateProcessW(widen(exe).c_str(), line.data(), nullptr, nullptr, FALSE,
                                          0, nullptr, widen(folder).c_str(), &startup, &info);
         ++attempt) {
        if (attempt == 5) {
            ADD_FAILURE() << exe << " not started, error " << GetLastError();
            return std::nullopt;
        }
        Sleep(500);
    }
    const bool ended = WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    TerminateProcess(info.hProcess, 1); // does nothing to one that has ended
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ended ? std::optional(code) : std::nullopt;
}

// What the game probe copied to `exe` wrote, three lines (command line, current folder, show
// state), or nothing when they do not appear within 10 seconds.
inline std::optional<std::string> probeRecord(const std::string& exe) {
    const std::string log = exe.substr(0, exe.rfind('.')) + ".log";
    for (int tries = 0; tries < 200; ++tries, Sleep(50)) {
        // The probe writes its lines in one go: the record is whole once the third has ended.
        if (std::optional<std::string> bytes = readBytes(log);
            bytes && std::ranges::count(*bytes, '\n') >= 3) {
            return bytes;
        }
    }
    return std::nullopt;
}

// A text value, or a number in decimal; nothing when it cannot be read.
inline std::optional<std::string> regValue(HKEY root, const std::string& path,
                                           const std::string& name, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    wchar_t data[2048] = {};
    DWORD size = sizeof(data), type = 0, number = 0;
    const bool read =
        RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS &&
        RegGetValueW(key, nullptr, widen(name).c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type,
                     data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    std::memcpy(&number, data, sizeof(number));
    return !read ? std::nullopt
                 : std::optional(type == REG_DWORD ? std::to_string(number) : narrow(data));
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

inline bool keyExists(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    const bool opened =
        RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return opened;
}

// Removes the key and everything below it; true when it is gone.
inline bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(root, widen(path).c_str(), view, 0);
    }
    return !keyExists(root, path, view);
}

} // namespace quellix::wintest
