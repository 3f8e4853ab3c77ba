#pragma once
// What the tests under Wine share: the build folder, scratch folders, whole files, programs run to
// their end, the game probe's record, and registry texts through the W functions in a view (by
// default the 32-bit one, where the games' installers write).

#include "windows/wide.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace quellix::wintest {

namespace fs = std::filesystem;

// Where the build puts quellix.exe and game_probe.exe beside the test program.
inline std::string buildFolder() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    return win::narrow(fs::path(self).parent_path().wstring());
}

// An empty folder of its own under the temporary folder.
inline std::string scratchFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / L"quellix-tests" / win::widen(name);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return win::narrow(folder.wstring());
}

// Both create the folders on the way.
inline bool writeBytes(const std::string& path, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(fs::path(win::widen(path)).parent_path(), error);
    std::ofstream out(fs::path(win::widen(path)), std::ios::binary);
    return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

inline bool copyFile(const std::string& from, const std::string& to) {
    return writeBytes(to, "") &&
           CopyFileW(win::widen(from).c_str(), win::widen(to).c_str(), FALSE) != 0;
}

inline std::optional<std::string> readBytes(const std::string& path) {
    std::ifstream in(fs::path(win::widen(path)), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `exe` with the argument text in `folder`: its exit code, or nothing after 30 seconds.
inline std::optional<DWORD> runProgram(const std::string& exe, const std::string& arguments,
                                       const std::string& folder) {
    std::wstring line = L"\"" + win::widen(exe) + L"\" " + win::widen(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // A loaded machine's Wine now and then refuses a start for a moment: try again.
    for (int attempt = 1; !CreateProcessW(win::widen(exe).c_str(), line.data(), nullptr, nullptr,
                                          FALSE, 0, nullptr, win::widen(folder).c_str(), &startup,
                                          &info);
         ++attempt) {
        if (attempt == 5) {
            ADD_FAILURE() << exe << " not started, error " << GetLastError();
            return std::nullopt;
        }
        Sleep(500);
    }
    const bool ended = WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(info.hProcess, 1);
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ended ? std::optional(code) : std::nullopt;
}

// The lines that the game probe copied to `exe` wrote (command line, current folder, show state),
// or nothing when none appear within `waitMs`.
inline std::optional<std::vector<std::string>> probeRecord(const std::string& exe,
                                                           DWORD waitMs = 10000) {
    const std::string log = exe.substr(0, exe.rfind('.')) + ".log";
    for (DWORD waited = 0;; waited += 50) {
        // The probe writes its three lines in one go: the record is whole once the third has ended.
        if (std::optional<std::string> bytes = readBytes(log);
            bytes && std::ranges::count(*bytes, '\n') >= 3) {
            std::vector<std::string> lines;
            for (size_t start = 0, end; (end = bytes->find('\n', start)) != bytes->npos;
                 start = end + 1) {
                lines.push_back(bytes->substr(start, end - start));
            }
            return lines;
        }
        if (waited >= waitMs) {
            return std::nullopt;
        }
        Sleep(50);
    }
}

inline std::optional<std::string> textValue(HKEY root, const std::string& path,
                                            const std::string& name,
                                            REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    std::wstring text(4096, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool read =
        RegOpenKeyExW(root, win::widen(path).c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS &&
        RegGetValueW(key, nullptr, win::widen(name).c_str(), RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read ? std::optional(win::narrow(text.c_str())) : std::nullopt;
}

inline bool setText(HKEY root, const std::string& path, const std::string& name,
                    const std::string& text, REGSAM view = KEY_WOW64_32KEY,
                    bool terminated = true) {
    const std::wstring wide = win::widen(text);
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, win::widen(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status = RegSetValueExW(key, win::widen(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(wide.c_str()),
                                       static_cast<DWORD>((wide.size() + terminated) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline bool keyExists(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, win::widen(path).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Removes the key and everything below it; true when it is gone.
inline bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, win::widen(path).c_str(), 0, KEY_ALL_ACCESS | view, &key) ==
        ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(root, win::widen(path).c_str(), view, 0);
    }
    return !keyExists(root, path, view);
}

} // namespace quellix::wintest
