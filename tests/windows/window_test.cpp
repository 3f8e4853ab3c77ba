// The real window, started as the program starts it and driven once through its main flow by window
// messages from another thread, as a user's mouse and keyboard drive it.

#include "harness.h"
#include "window_capture.h"

#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/banner_win.h"
#include "windows/files_win.h"
#include "windows/form_window.h"
#include "windows/main_window.h"

#include <commctrl.h>

#include <set>
#include <thread>

namespace quellix::wintest {
namespace {

std::string textOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return narrow(text);
}

// The message boxes this thread opens, each answered OK: its title and text, and whether Form1 was
// on screen then.
std::vector<std::string> boxes;

LRESULT CALLBACK answerBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t name[8] = {};
    if (code == HCBT_ACTIVATE && GetClassNameW(box, name, 8) && name == std::wstring(L"#32770")) {
        std::string text; // the longest static text is the message
        for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            text = textOf(c).size() > text.size() ? textOf(c) : text;
        }
        const HWND form = FindWindowW(L"Form1", nullptr);
        boxes.push_back(textOf(box) + ": " + text +
                        (form != nullptr && IsWindowVisible(form) ? "" : " (before the window)"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Window, StartsAsTheProgramStartsItAndFollowsAUser) {
    test::TestSystem t; // the registry: what a reset detects is exactly what the test installs
    t.process.folder = scratchFolder("window");
    win::WindowsFiles files;
    win::WindowsDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    const std::string config = t.process.folder + "\\config.ini";
    ASSERT_TRUE(writeBytes(
        config, "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[q3]\r\n"
                "Path= \r\npresent=0\r\n[UT2003]\r\nPath=C:\\UT\\UT2003.exe\r\npresent=1\r\n"));
    std::vector<std::string> seen; // what the window showed at each step
    // Waits for the window and its banners, takes a picture of each tab into the build folder's
    // screenshots, then works as a user: ticks the Quake 3 row, types a path, applies (the file
    // read-only, then writable), resets, and leaves with Alt+Q. Sent messages run on the window's
    // thread, which is the test's.
    std::thread user([&] {
        HWND window = nullptr;
        for (int i = 0; i < 400 && !IsWindowVisible(window = FindWindowW(L"Form1", nullptr)); ++i) {
            Sleep(50);
        }
        auto& form = *reinterpret_cast<win::FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        auto banners = [&form] {
            std::string shows;
            for (const char* name : {"ShockwaveFlash1", "ShockwaveFlash2"}) {
                shows += std::to_string(static_cast<int>(win::bannerShows(form.control(name))));
            }
            return shows;
        };
        for (int i = 0; i < 400 && banners().find_first_of("01") != std::string::npos; ++i) {
            Sleep(50); // not started yet (they start after the first paint), or fetching
        }
        auto look = [&](const std::string& step) {
            seen.push_back(step + ": tab " + std::to_string(form.currentTab()) + ", ticks " +
                           std::to_string(form.visible("valid_q3")) +
                           std::to_string(form.visible("valid_ut2003")) + ", q3 row " +
                           std::to_string(form.value("q3_chk")) +
                           std::to_string(form.enabled("q3_path")) +
                           std::to_string(form.enabled("btn_q3")) +
                           std::to_string(form.enabled("ut_path")) + " " + form.text("q3_path") +
                           ", ut " + form.text("ut_path") + ", banners " + banners());
        };
        auto turnTo = [&](int tab) {
            SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Sleep(400);
        };
        const std::wstring folder = widen(buildFolder()) + L"\\screenshots\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name :
             {L"1-jeux-part-1", L"2-jeux-part-2", L"3-configuration", L"4-presentation"}) {
            turnTo(name[0] - L'1');
            const auto capture = captureWindow(window);
            EXPECT_TRUE(capture && savePng(*capture, folder + name + L".png"));
        }
        turnTo(2);
        RECT client;
        GetClientRect(window, &client);
        look("opened, " + std::to_string(client.right) + "x" + std::to_string(client.bottom) +
             (IsWindowVisible(form.control("q3_path")) ? " on screen" : " hidden"));
        for (DWORD attributes : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_NORMAL}) {
            SetFileAttributesW(widen(config).c_str(), attributes);
            SendMessageW(form.control("q3_chk"), BM_CLICK, 0, 0);
            SendMessageW(form.control("q3_path"), EM_SETSEL, 0, -1);
            for (wchar_t c : std::wstring(L"D:\\Jeux vidéo\\quake3.exe")) {
                SendMessageW(form.control("q3_path"), WM_CHAR, c, 1);
            }
            // "&Appliquer" and "&Annuler" share their letter: Alt+A moves between them, acting not.
            PostMessageW(window, WM_SYSCHAR, L'a', 1 | (1 << 29));
            PostMessageW(window, WM_SYSCHAR, L'a', 1 | (1 << 29));
            Sleep(300);
            look("ticked and typed");
            SendMessageW(form.control("btn_appliquer"), BM_CLICK, 0, 0);
            look(attributes == FILE_ATTRIBUTE_NORMAL ? "applied" : "applied, read-only");
        }
        EXPECT_EQ(readBytes(config).value_or(""),
                  "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[q3]\r\nPath=D:\\Jeux "
                  "vid\xE9o\\quake3.exe\r\npresent=1\r\n[UT2003]\r\nPath=C:\\UT\\UT2003.exe\r\n"
                  "present=1\r\n");
        turnTo(0);
        const auto tick = captureWindow(form.control("valid_q3"), true);
        std::string pictures; // the tick as drawn, '#' for red; then whether an icon is
        for (int y = 0; tick && y < tick->height; ++y) {
            for (int x = 0; x < tick->width; ++x) {
                pictures += tick->at(x, y) == RGB(255, 0, 0) ? '#' : '.';
            }
            pictures += '|';
        }
        const auto icon = captureWindow(form.control("Image7"), true);
        const std::set<std::uint32_t> colours(icon->pixels.begin(), icon->pixels.end());
        EXPECT_EQ(pictures + (colours.size() > 3 ? "icon drawn" : "icon flat"),
                  "..........|#........#|##......#.|.#.....##.|.##....#..|"
                  "..##..##..|..#####...|...###....|....##....|....#.....|icon drawn");
        turnTo(2);
        t.registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                       test::sz("E:\\q3.exe"));
        SendMessageW(form.control("btn_defaut"), BM_CLICK, 0, 0);
        look("reset");
        // Ctrl+Tab turns to the next page; the key state is shared with the window's thread.
        AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr), TRUE);
        BYTE keys[256] = {};
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(form.control("q3_path"), WM_KEYDOWN, VK_TAB, 1);
        Sleep(300);
        look("Ctrl+Tab");
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        RECT suggested{10, 10, 900, 900}; // moved to a screen of 144 dpi
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                     reinterpret_cast<LPARAM>(&suggested));
        GetClientRect(window, &client);
        seen.push_back("at 144 dpi, " + std::to_string(client.right) + "x" +
                       std::to_string(client.bottom));
        PostMessageW(window, WM_SYSCHAR, L'q', 1 | (1 << 29)); // Alt+Q
    });
    const HHOOK hook = SetWindowsHookExW(WH_CBT, answerBox, nullptr, GetCurrentThreadId());
    // As when config.ini could not be created; nothing listens at the banners' address.
    EXPECT_EQ(win::runMainWindow({t.registry, files, t.process, dialogs, ansi}, dialogs, true,
                                 "http://127.0.0.1:9/fr/quellix_V1.swf"),
              0);
    UnhookWindowsHookEx(hook);
    user.join();
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "quellix: " + std::string(win::kConfigNotCreated) + " (before the window)",
                         "quellix: Les paramètres n'ont pas pu être enregistrés.",
                         "quellix: Voulez vous vraiment réinitialiser tous les paramètres ?"}));
    const std::string typed = ", q3 row 1110 D:\\Jeux vidéo\\quake3.exe",
                      untouched = ", q3 row 0000 D:\\Jeux vidéo\\quake3.exe",
                      ut = ", ut C:\\UT\\UT2003.exe, banners 33", reset = ", ut , banners 33";
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "opened, 675x610 on screen: tab 2, ticks 01, q3 row 0000 " + ut,
                        "ticked and typed: tab 2, ticks 01" + typed + ut,
                        "applied, read-only: tab 2, ticks 01" + untouched + ut,
                        "ticked and typed: tab 2, ticks 01" + typed + ut,
                        "applied: tab 2, ticks 11" + untouched + ut,
                        "reset: tab 2, ticks 10, q3 row 0000 E:\\q3.exe" + reset,
                        "Ctrl+Tab: tab 3, ticks 10, q3 row 0000 E:\\q3.exe" + reset,
                        "at 144 dpi, 1013x915"}));
}

} // namespace
} // namespace quellix::wintest
