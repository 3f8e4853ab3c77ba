#include "harness.h"

#include "windows/wide.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace quellix::wintest {

using win::narrow;
using win::widen;

std::string buildFolder() {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return narrow(self.substr(0, self.rfind(L'\\')));
}

std::string quellixExe() {
    return buildFolder() + "\\quellix.exe";
}

std::string probeExe() {
    return buildFolder() + "\\game_probe.exe";
}

namespace {

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

struct Dialog {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
    auto* dialog = reinterpret_cast<Dialog*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == dialog->processId && IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
        dialog->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK findMessageText(HWND child, LPARAM context) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    auto* text = reinterpret_cast<std::wstring*>(context);
    if (_wcsicmp(className, L"Static") == 0) {
        std::wstring candidate = windowText(child);
        if (candidate.size() > text->size()) {
            *text = candidate;
        }
    }
    return TRUE;
}

} // namespace

std::string scratchFolder(const std::string& name) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp) + L"quellix-tests\\" + widen(name);
    removeTree(folder);
    makeFolders(narrow(folder));
    return narrow(folder);
}

bool copyFileTo(const std::string& from, const std::string& to) {
    return CopyFileW(widen(from).c_str(), widen(to).c_str(), FALSE) != 0;
}

bool makeFolders(const std::string& path) {
    std::wstring wide = widen(path);
    for (size_t slash = wide.find(L'\\', 3); slash != std::wstring::npos;
         slash = wide.find(L'\\', slash + 1)) {
        CreateDirectoryW(wide.substr(0, slash).c_str(), nullptr);
    }
    CreateDirectoryW(wide.c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool writeBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::optional<std::string> readBytes(const std::string& path) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

RunResult runProgram(const std::string& exe, const std::string& arguments,
                     const std::string& currentFolder, std::vector<Answer> answers,
                     DWORD timeoutMs) {
    RunResult result;
    std::wstring line =
        L"\"" + widen(exe) + L"\"" + (arguments.empty() ? L"" : L" " + widen(arguments));
    std::wstring folder = widen(currentFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Under a loaded machine Wine now and then refuses a process start for a moment: try again
    // before calling the run failed.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(widen(exe).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
            break;
        }
        if (attempt == 5) {
            std::fprintf(stderr, "runProgram: %s not started, error %lu\n", exe.c_str(),
                         GetLastError());
            return result;
        }
        Sleep(500);
    }
    std::set<HWND> answered;
    size_t nextAnswer = 0;
    DWORD waited = 0;
    while (WaitForSingleObject(info.hProcess, 50) == WAIT_TIMEOUT) {
        waited += 50;
        Dialog dialog{info.dwProcessId};
        EnumWindows(findDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog.found != nullptr && !answered.contains(dialog.found)) {
            std::wstring text;
            EnumChildWindows(dialog.found, findMessageText, reinterpret_cast<LPARAM>(&text));
            result.messages.push_back({narrow(windowText(dialog.found)), narrow(text)});
            Answer answer = nextAnswer < answers.size() ? answers[nextAnswer++] : Answer::Ok;
            PostMessageW(dialog.found, WM_COMMAND, answer == Answer::Ok ? IDOK : IDCANCEL, 0);
            answered.insert(dialog.found);
        }
        if (waited >= timeoutMs) {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, 5000);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
            return result;
        }
    }
    result.finished = true;
    GetExitCodeProcess(info.hProcess, &result.exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return result;
}

std::optional<std::vector<std::string>> probeRecord(const std::string& exePath, DWORD waitMs) {
    const std::string log = exePath.substr(0, exePath.rfind('.')) + ".log";
    std::optional<std::string> bytes;
    for (DWORD waited = 0;; waited += 50) {
        bytes = readBytes(log);
        // The probe writes its three lines in one go; a record is whole once the third has ended.
        if (bytes && std::count(bytes->begin(), bytes->end(), '\n') >= 3) {
            break;
        }
        if (waited >= waitMs) {
            return std::nullopt;
        }
        Sleep(50);
    }
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes->find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(bytes->substr(start, end - start));
    }
    return lines;
}

} // namespace quellix::wintest
