#include "windows/process_win.h"

#include "windows/wide.h"

#include <windows.h>

namespace quellix::win {

std::string WindowsProcess::programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.rfind(L'\\');
    path.resize(slash == std::wstring::npos ? 0 : slash);
    if (path.size() == 2 && path[1] == L':') {
        path += L'\\'; // a drive root keeps its backslash, as the system reports it
    }
    return narrow(path);
}

std::uint32_t WindowsProcess::processId() {
    return GetCurrentProcessId();
}

std::string WindowsProcess::commandLine() {
    return narrow(GetCommandLineW());
}

bool WindowsProcess::setCurrentFolder(const std::string& folder) {
    return SetCurrentDirectoryW(widen(folder).c_str()) != 0;
}

bool WindowsProcess::startMinimized(const std::string& executable, const std::string& commandLine) {
    std::wstring application = widen(executable);
    std::wstring line = widen(commandLine); // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

} // namespace quellix::win
