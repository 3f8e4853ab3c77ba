// The real window, driven through window messages as a user's mouse and keyboard would drive it.

#include "harness.h"
#include "window_capture.h"

#include "config/window_settings.h"
#include "fake_process.h"
#include "memory_registry.h"
#include "ui/bindings.h"
#include "ui/layout.h"
#include "windows/ansi_win.h"
#include "windows/banner_win.h"
#include "windows/dialogs_win.h"
#include "windows/files_win.h"
#include "windows/form_window.h"
#include "windows/main_window.h"
#include "windows/wide.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quellix::wintest {
namespace {

using layout::ControlRow;
using layout::Kind;
using win::narrow;
using win::widen;

// Real files, dialogs and code page; the registry in memory, so that detection finds exactly
// what a test installs; the program's folder a scratch folder, so that config.ini is the test's.
struct RealSystem {
    explicit RealSystem(const std::string& folder) { process.folder = folder; }
    test::MemoryRegistry registry;
    win::WindowsFiles files;
    test::FakeProcess process;
    win::WindowsDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    System os{registry, files, process, dialogs, ansi};
};

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string textOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

// Runs the window's messages for `ms` milliseconds, through the window's own keyboard handling.
void pump(win::FormWindow& form, DWORD ms = 50) {
    for (const DWORD end = GetTickCount() + ms; GetTickCount() < end; Sleep(5)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam)); // keep it for the test to see
                return;
            }
            if (!form.preTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

// Answers the message boxes that this thread shows as they open, with IDOK or IDCANCEL in order
// (IDOK when none is left), and keeps what they said.
struct MessageBoxAnswerer {
    explicit MessageBoxAnswerer(std::vector<int> replies) : answers(std::move(replies)) {
        current = this;
        hook = SetWindowsHookExW(WH_CBT, opened, nullptr, GetCurrentThreadId());
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer() {
        UnhookWindowsHookEx(hook);
        current = nullptr;
    }

    static LRESULT CALLBACK opened(int code, WPARAM wParam, LPARAM lParam) {
        auto box = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && current != nullptr && className(box) == L"#32770") {
            std::string text; // the longest static text is the message
            for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                if (_wcsicmp(className(c).c_str(), L"Static") == 0 &&
                    textOf(c).size() > text.size()) {
                    text = textOf(c);
                }
            }
            const HWND form = FindWindowW(L"Form1", nullptr);
            current->formVisible.push_back(form != nullptr && IsWindowVisible(form));
            current->shown.push_back({textOf(box), text});
            const size_t i = current->shown.size() - 1;
            PostMessageW(
                box, WM_COMMAND,
                static_cast<WPARAM>(i < current->answers.size() ? current->answers[i] : IDOK), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline MessageBoxAnswerer* current = nullptr;
    std::vector<int> answers;
    std::vector<ShownMessage> shown;
    std::vector<bool> formVisible; // whether Form1 was on screen when each box opened
    HHOOK hook = nullptr;
};

// --- Every control as the table gives it ---------------------------------------------------------

// The window class of each kind of control, in the order of `Kind`.
const wchar_t* const kClassOf[] = {L"Form1",  WC_TABCONTROLW,   L"QuellixPanel", L"QuellixPanel",
                                   L"Static", L"Edit",          L"Button",       L"Button",
                                   L"Static", win::kBannerClass};

// The control's rectangle in pixels, relative to the client area of `parent`.
RECT rectIn(HWND control, HWND parent) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What a control shows as its text: a tab control its captions, a frame its box's caption.
std::string shownText(HWND control, Kind kind) {
    std::string text = textOf(control);
    for (int i = 0; kind == Kind::Tabs && i < TabCtrl_GetItemCount(control); ++i) {
        wchar_t caption[64] = {};
        TCITEMW item{TCIF_TEXT, 0, 0, caption, 64, 0, 0};
        SendMessageW(control, TCM_GETITEMW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
        text += (i == 0 ? "" : "|") + narrow(caption);
    }
    for (HWND c = GetWindow(control, GW_CHILD); kind == Kind::Frame && c != nullptr;
         c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
            text = textOf(c);
        }
    }
    return text;
}

void expectLayout(win::FormWindow& form, int dpi) {
    auto px = [dpi](int twips) { return layout::toPixels(twips, dpi); };
    std::string tabs;
    for (std::string_view caption : layout::tabCaptions()) {
        tabs += (tabs.empty() ? "" : "|") + std::string(caption);
    }
    for (const ControlRow& row : layout::rows()) {
        SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(dpi) + " dpi");
        HWND control = form.control(row.name);
        if (row.kind == Kind::FileDialog || control == nullptr) {
            EXPECT_EQ(row.kind == Kind::FileDialog, control == nullptr);
            continue;
        }
        EXPECT_EQ(_wcsicmp(className(control).c_str(), kClassOf[static_cast<size_t>(row.kind)]), 0);
        EXPECT_EQ(GetParent(control), form.control(row.container));
        if (row.kind != Kind::Banner) {
            EXPECT_EQ(shownText(control, row.kind),
                      row.kind == Kind::Tabs ? tabs : std::string(row.caption));
        }
        EXPECT_EQ(IsWindowEnabled(control) != 0, row.enabled);
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        if (row.kind == Kind::Window) {
            RECT client;
            GetClientRect(control, &client);
            EXPECT_EQ(client.right * 10000 + client.bottom,
                      px(row.rect.width) * 10000 + px(row.rect.height));
            EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU),
                      WS_SYSMENU);
            continue;
        }
        if (row.kind == Kind::Page) {
            continue; // shown only while its tab is current
        }
        EXPECT_EQ((style & WS_VISIBLE) != 0, row.visible);
        const RECT got = rectIn(control, form.control(layout::geometryParent(row)));
        EXPECT_EQ(std::tuple(got.left, got.top, got.right - got.left, got.bottom - got.top),
                  std::tuple(px(row.rect.left), px(row.rect.top), px(row.rect.width),
                             px(row.rect.height)));
        if (row.kind != Kind::Banner && row.kind != Kind::Frame) { // the banner draws its own
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                       sizeof(font), &font);
            const int points = row.font == layout::Font::Title  ? 2775
                               : row.font == layout::Font::Bold ? 975
                                                                : 800;
            EXPECT_EQ(font.lfHeight, -MulDiv(points, dpi, 7200));
        }
    }
}

TEST(WindowLayout, EveryControlIsAsTheTableSaysAtEachDpiAndOnlyTheCurrentTabShows) {
    win::FormWindow form(GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.create());
    EXPECT_EQ(form.currentTab(), 0);
    expectLayout(form, form.dpi());
    for (int dpi : {144, 120, 96}) {
        RECT suggested{10, 10, 900, 900};
        SendMessageW(form.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(form.dpi(), dpi);
        expectLayout(form, dpi);
    }
    const char* pages[] = {"tab_jeux1", "tab_jeux2", "tab_configuration", "tab_presentation"};
    for (int tab : {0, 2, 3, 1, 0}) {
        // Selecting through the focus sends the tab control's own notices, as a click does.
        SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        pump(form);
        EXPECT_EQ(form.currentTab(), tab);
        for (int page = 0; page < 4; ++page) {
            EXPECT_EQ((GetWindowLongPtrW(form.control(pages[page]), GWL_STYLE) & WS_VISIBLE) != 0,
                      page == tab)
                << tab << " " << page;
        }
    }
}

TEST(WindowPictures, TheTickIsTheRedVOnTheFrameAndIconsAreSharedAsTheTableSays) {
    win::FormWindow form(GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.create());
    if (form.dpi() != 96) {
        GTEST_SKIP() << "pixels are compared at 96 dpi";
    }
    form.setVisible("valid_q3", true);
    form.show();
    pump(form, 300);
    auto tick = captureWindow(form.control("valid_q3"), true);
    ASSERT_TRUE(tick.has_value());
    ASSERT_EQ(tick->width * 100 + tick->height, 1010);
    // A red V of ten by ten pixels on the frame's ground.
    const std::string_view red[10] = {"..........", "#........#", "##......#.", ".#.....##.",
                                      ".##....#..", "..##..##..", "..#####...", "...###....",
                                      "....##....", "....#....."};
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(tick->at(x, y), red[y][static_cast<size_t>(x)] == '#'
                                          ? RGB(255, 0, 0)
                                          : GetSysColor(COLOR_ACTIVEBORDER))
                << x << "," << y;
        }
    }
    auto pixelsOf = [&form](const char* name) {
        auto capture = captureWindow(form.control(name), true);
        return capture ? capture->pixels : std::vector<std::uint32_t>{};
    };
    const auto jedi = pixelsOf("Image7");
    ASSERT_EQ(jedi.size(), 32u * 32u);
    EXPECT_GT(std::set<std::uint32_t>(jedi.begin(), jedi.end()).size(), 3u) << "not drawn";
    EXPECT_EQ(pixelsOf("Image22"), jedi) << "both Jedi games";
    EXPECT_NE(pixelsOf("Image8"), jedi);
    SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, 2, 0);
    pump(form, 300);
    EXPECT_EQ(pixelsOf("Image10"), pixelsOf("Image4")) << "the same again on the path rows";
    EXPECT_NE(pixelsOf("Image9"), pixelsOf("Image4"));
}

// --- Driven by a user ----------------------------------------------------------------------------

const std::string kTyped = "D:\\Jeux vidéo\\Quake III Arena\\quake3.exe";
const std::string kIni =
    "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[q3]\r\nPath= \r\npresent=0\r\n"
    "[UT2003]\r\nPath=C:\\UT2003\\System\\UT2003.exe\r\npresent=1\r\n";

struct OpenWindow {
    explicit OpenWindow(const std::string& name)
        : folder(scratchFolder(name)), sys(folder), form(GetModuleHandleW(nullptr)) {
        EXPECT_TRUE(writeBytes(config(), kIni));
        EXPECT_TRUE(form.create());
        sys.dialogs.setOwner(form.handle());
        bindHandlers(sys.os, form, [this] { form.close(); });
        AfficherJeuxInstalles(sys.os, form);
        AfficherChemins(sys.os, form);
        AfficherOptions(sys.os, form);
        form.show();
        pump(form, 200);
    }
    std::string config() const { return folder + "\\config.ini"; }
    std::string stored() const { return readBytes(config()).value_or("<none>"); }
    bool on(const char* name) { return IsWindowEnabled(form.control(name)) != 0; }
    void click(const char* name) {
        SendMessageW(form.control(name), BM_CLICK, 0, 0);
        pump(form);
    }
    // On the third tab, ticks the Quake 3 row and types `kTyped` into its box as keys would.
    void editQuake() {
        SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, 2, 0);
        pump(form);
        EXPECT_FALSE(on("q3_path"));
        click("q3_chk");
        HWND box = form.control("q3_path");
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 0, -1);
        for (wchar_t c : widen(kTyped)) {
            SendMessageW(box, WM_CHAR, c, 1);
        }
        pump(form);
    }

    std::string folder;
    RealSystem sys;
    win::FormWindow form;
};

TEST(WindowDriven, TickTypeApplyThenTheFileHoldsThePathOrTheFailureIsSaid) {
    OpenWindow w("window-apply");
    EXPECT_FALSE(w.form.visible("valid_q3"));
    EXPECT_TRUE(w.form.visible("valid_ut2003"));
    EXPECT_TRUE(w.form.visible("valid_cod")) << "no present flag: shown";
    EXPECT_EQ(w.form.text("ut_path"), "C:\\UT2003\\System\\UT2003.exe");
    EXPECT_EQ(w.form.value("sansvalid_chk"), BST_CHECKED);
    for (DWORD attributes : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_NORMAL}) {
        ASSERT_TRUE(SetFileAttributesW(widen(w.config()).c_str(), attributes));
        w.editQuake();
        EXPECT_EQ(w.form.value("q3_chk"), BST_CHECKED);
        EXPECT_TRUE(w.on("q3_path") && w.on("btn_q3") && !w.on("ut_path"));
        EXPECT_EQ(w.form.text("q3_path"), kTyped);
        MessageBoxAnswerer answerer({});
        w.click("btn_appliquer");
        EXPECT_EQ(w.form.value("q3_chk"), BST_UNCHECKED);
        EXPECT_FALSE(w.on("q3_path"));
        EXPECT_EQ(w.form.text("q3_path"), kTyped) << "the edit stays on screen";
        EXPECT_EQ(w.form.visible("valid_q3"), attributes == FILE_ATTRIBUTE_NORMAL);
        ASSERT_EQ(answerer.shown.size(), attributes == FILE_ATTRIBUTE_READONLY ? 1u : 0u);
        if (attributes == FILE_ATTRIBUTE_READONLY) {
            EXPECT_EQ(answerer.shown[0].title, "quellix");
            EXPECT_EQ(answerer.shown[0].text, "Les paramètres n'ont pas pu être enregistrés.");
            EXPECT_EQ(w.stored(), kIni);
        }
    }
    std::string expected = kIni;
    expected.insert(expected.find(" \r\npresent=0"), *w.sys.ansi.toAnsi(kTyped));
    expected.replace(expected.find(" \r\npresent=0"), 12, "\r\npresent=1");
    EXPECT_EQ(w.stored(), expected);
}

TEST(WindowDriven, ResetAsksFirstAndOnlyOkResets) {
    OpenWindow w("window-reset");
    w.sys.registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                       {kRegSz, std::string("E:\\Quake3\\quake3.exe") + '\0'});
    for (int answer : {IDCANCEL, IDOK}) {
        MessageBoxAnswerer answerer({answer});
        w.click("btn_defaut");
        ASSERT_EQ(answerer.shown.size(), 1u);
        EXPECT_EQ(answerer.shown[0].title, "quellix");
        EXPECT_EQ(answerer.shown[0].text,
                  "Voulez vous vraiment réinitialiser tous les paramètres ?");
        EXPECT_EQ(w.stored() == kIni, answer == IDCANCEL);
        EXPECT_EQ(w.form.text("q3_path"), answer == IDOK ? "E:\\Quake3\\quake3.exe" : "");
    }
    EXPECT_NE(w.stored().find("[q3]\r\nPath=E:\\Quake3\\quake3.exe\r\npresent=1\r\n"),
              std::string::npos);
    EXPECT_NE(w.stored().find("[UT2003]\r\nPath= \r\npresent=0\r\n"), std::string::npos);
    EXPECT_EQ(w.form.text("ut_path"), "");
    EXPECT_TRUE(w.form.visible("valid_q3"));
    EXPECT_FALSE(w.form.visible("valid_ut2003"));
}

TEST(WindowDriven, MnemonicsActAloneOfTheirLetterAndCtrlTabTurnsThePage) {
    OpenWindow w("window-keys");
    auto press = [&w](wchar_t letter) {
        PostMessageW(GetFocus() != nullptr ? GetFocus() : w.form.handle(), WM_SYSCHAR, letter,
                     1 | (1 << 29));
        pump(w.form, 100);
    };
    // Tab 1: the options' "&Appliquer" is alone of its letter there: Alt+A saves the options.
    w.click("accel_chk");
    press(L'a');
    EXPECT_NE(w.stored().find("acceleration=1"), std::string::npos) << w.stored();
    // Tab 3: "&Appliquer" and "&Annuler" share A: the keys move between them without acting.
    w.editQuake();
    const std::string before = w.stored();
    std::set<HWND> reached;
    for (int i = 0; i < 2; ++i) {
        press(L'a');
        reached.insert(GetFocus());
    }
    EXPECT_EQ(reached,
              (std::set<HWND>{w.form.control("btn_appliquer"), w.form.control("btn_annuler")}));
    EXPECT_EQ(w.stored(), before);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    pump(w.form);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(w.form.currentTab(), 3);
}

TEST(WindowDriven, QuitAltQAndTheCloseBoxEndWithoutSaving) {
    for (const char* how : {"button", "Alt+Q", "close box"}) {
        OpenWindow w(std::string("window-quit-") + how[0]);
        w.editQuake();
        HWND window = w.form.handle();
        if (how[0] == 'b') {
            w.click("btn_quitter");
        } else if (how[0] == 'A') {
            PostMessageW(GetFocus(), WM_SYSCHAR, L'q', 1 | (1 << 29));
        } else {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        pump(w.form);
        EXPECT_FALSE(IsWindow(window)) << how;
        MSG quit;
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << how;
        EXPECT_EQ(w.stored(), kIni) << how;
    }
}

// --- The whole window as start-up runs it --------------------------------------------------------

struct Driver {
    std::vector<win::BannerShows> banners;
    int screenshots = 0;
    std::wstring folder;
};

std::vector<win::BannerShows> bannersOf(HWND form) {
    std::vector<win::BannerShows> shows;
    EnumChildWindows(
        form,
        [](HWND child, LPARAM list) {
            if (className(child) == win::kBannerClass) {
                reinterpret_cast<std::vector<win::BannerShows>*>(list)->push_back(
                    win::bannerShows(child));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shows));
    return shows;
}

// Once the window is up: waits for the banners, takes a picture of each tab, and leaves.
DWORD WINAPI drive(LPVOID context) {
    auto* d = static_cast<Driver*>(context);
    HWND form = nullptr;
    for (int i = 0; i < 400 && !IsWindowVisible(form = FindWindowW(L"Form1", nullptr)); ++i) {
        Sleep(50);
    }
    // Until both have their answer: they start once the window has drawn itself.
    for (int i = 0; i < 400 && std::ranges::count_if(d->banners = bannersOf(form),
                               [](auto shows) {
                                   return shows == win::BannerShows::Nothing ||
                                          shows == win::BannerShows::Fetching;
                               }) > 0;
         ++i) {
        Sleep(50);
    }
    HWND tabs = FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr);
    const wchar_t* names[] = {L"1-jeux-part-1.png", L"2-jeux-part-2.png", L"3-configuration.png",
                              L"4-presentation.png"};
    CreateDirectoryW(d->folder.c_str(), nullptr);
    for (int tab = 0; tab < 4; ++tab) {
        SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);
        auto capture = captureWindow(form);
        d->screenshots += capture && savePng(*capture, d->folder + L"\\" + names[tab]) ? 1 : 0;
    }
    SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
    PostMessageW(form, WM_SYSCHAR, L'q', 1 | (1 << 29)); // the user leaves with Alt+Q
    return 0;
}

TEST(WindowStartup, SaysOnceThatConfigCouldNotBeCreatedThenShowsTheWindowUntilQuit) {
    const std::string folder = scratchFolder("window-startup");
    RealSystem sys(folder);
    Driver driver;
    driver.folder = widen(buildFolder()) + L"\\screenshots";
    MessageBoxAnswerer answerer({IDOK});
    HANDLE thread = CreateThread(nullptr, 0, drive, &driver, 0, nullptr);

    // The banners' address refuses at once: both end on their own banner.
    const int exitCode =
        win::runMainWindow(sys.os, sys.dialogs, true, "http://127.0.0.1:9/fr/quellix_V1.swf");

    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(answerer.shown.size(), 1u);
    EXPECT_EQ(answerer.shown[0].title, "quellix");
    EXPECT_EQ(answerer.shown[0].text, "Le Quellix Vorbanix ne peut pas créer son fichier "
                                      "config.ini : les paramètres ne seront pas enregistrés.");
    EXPECT_EQ(answerer.formVisible, std::vector<bool>{false})
        << "the message comes before the window";
    EXPECT_EQ(driver.banners, (std::vector<win::BannerShows>(2, win::BannerShows::OwnBanner)));
    EXPECT_EQ(driver.screenshots, 4);
    EXPECT_FALSE(readBytes(folder + "\\config.ini").has_value()) << "the window writes nothing";
}

} // namespace
} // namespace quellix::wintest
