// Takes a picture of each tab of the running launcher's window, then closes the window.
//
// Usage: window_shots.exe <folder> [seconds]
// Waits up to `seconds` (default 60) for the window Form1 to be shown, selects each tab in turn,
// writes <folder>\1-jeux-part-1.png ... 4-presentation.png, and closes the window. A folder given
// as a Unix path (/work/...) is reached through drive Z:. Exit code 0 when every picture was
// written.

#include "window_capture.h"
#include "windows/wide.h"

#include <commctrl.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring windowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') {
        path = L"Z:" + path;
    }
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    while (path.size() > 3 && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

HWND waitForForm(DWORD seconds) {
    for (DWORD waited = 0; waited < seconds * 1000; waited += 100) {
        HWND form = FindWindowW(L"Form1", nullptr);
        if (form != nullptr && IsWindowVisible(form)) {
            return form;
        }
        Sleep(100);
    }
    return nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: window_shots.exe <folder> [seconds]\n", stderr);
        return 2;
    }
    const std::wstring folder = windowsPath(argv[1]);
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 60;
    CreateDirectoryW(folder.c_str(), nullptr);

    HWND form = waitForForm(seconds);
    if (form == nullptr) {
        std::fputs("window_shots: the window Form1 did not appear\n", stderr);
        return 1;
    }
    HWND tabs = FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr);
    const wchar_t* names[] = {L"1-jeux-part-1.png", L"2-jeux-part-2.png", L"3-configuration.png",
                              L"4-presentation.png"};
    int written = 0;
    Sleep(1500); // the banners' first answer
    for (int tab = 0; tab < 4; ++tab) {
        // Selecting through the focus sends the tab control's own change notices.
        SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        SetForegroundWindow(form);
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
        const auto capture = quellix::wintest::captureWindow(form);
        const std::wstring path = folder + L"\\" + names[tab];
        if (capture && quellix::wintest::savePng(*capture, path)) {
            ++written;
            std::printf("%s\n", quellix::win::narrow(path).c_str());
        } else {
            std::fprintf(stderr, "window_shots: could not write %s\n",
                         quellix::win::narrow(path).c_str());
        }
    }
    SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
    PostMessageW(form, WM_CLOSE, 0, 0);
    return written == 4 ? 0 : 1;
}
