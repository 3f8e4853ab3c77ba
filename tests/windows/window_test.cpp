// The real window, driven through window messages as a user's mouse and keyboard would drive it.

#include "harness.h"
#include "window_capture.h"

#include "config/window_settings.h"
#include "memory_registry.h"
#include "platform/windows/ansi_win.h"
#include "platform/windows/banner_win.h"
#include "platform/windows/dialogs_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/form_window.h"
#include "platform/windows/main_window.h"
#include "platform/windows/wide.h"
#include "ui/bindings.h"
#include "ui/layout.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quellix::wintest {
namespace {

using layout::ControlRow;
using layout::Kind;
using win::narrow;
using win::widen;

constexpr RegHandle kLocalMachine = 0x80000002;

// The program's folder is a scratch folder, so that config.ini is the test's own.
class ScratchProcess : public ProcessPort {
public:
    explicit ScratchProcess(std::string folder) : folder_(std::move(folder)) {}
    std::string programFolder() override { return folder_; }
    std::string commandLine() override { return "\"" + folder_ + "\\quellix.exe\""; }
    bool setCurrentFolder(const std::string&) override { return false; }
    bool startMinimized(const std::string&, const std::string&) override { return false; }

private:
    std::string folder_;
};

// Real files, dialogs and code page; the registry in memory, so that detection finds exactly
// what a test installs.
struct RealSystem {
    explicit RealSystem(const std::string& folder) : process(folder) {}
    test::MemoryRegistry registry;
    win::WindowsFiles files;
    ScratchProcess process;
    win::WindowsDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    System os{registry, files, process, dialogs, ansi};
};

std::string ansiOf(const std::string& utf8) {
    std::wstring wide = widen(utf8);
    std::string ansi(wide.size() * 2 + 1, '\0');
    ansi.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                            static_cast<int>(ansi.size()), nullptr, nullptr)));
    return ansi;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Runs the window's messages for `ms` milliseconds, through the window's own keyboard handling.
void pump(win::FormWindow& form, DWORD ms = 50) {
    const DWORD end = GetTickCount() + ms;
    do {
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
        Sleep(5);
    } while (GetTickCount() < end);
}

// What the user presses as Alt+<letter>.
void pressAlt(win::FormWindow& form, wchar_t letter) {
    PostMessageW(GetFocus() != nullptr ? GetFocus() : form.handle(), WM_SYSCHAR, letter,
                 1 | (1 << 29));
    pump(form, 100);
}

// Answers, from another thread, the message boxes that this process shows, and keeps what they
// said. Answers are IDOK or IDCANCEL, in order; IDOK when none is left.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::vector<int> answers) : answers_(std::move(answers)) {
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer() { stop(); }

    // Stops answering; what was shown can be read after this.
    const std::vector<ShownMessage>& stop() {
        if (thread_ != nullptr) {
            InterlockedExchange(&stop_, 1);
            WaitForSingleObject(thread_, 10000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return shown_;
    }

    // Waits until `count` boxes were answered, or `ms` went by.
    void waitFor(size_t count, DWORD ms = 10000) {
        for (DWORD waited = 0;
             waited < ms &&
             static_cast<size_t>(InterlockedCompareExchange(&answered_, 0, 0)) < count;
             waited += 20) {
            Sleep(20);
        }
    }

private:
    struct Found {
        HWND box = nullptr;
        std::set<HWND>* skip;
    };

    static BOOL CALLBACK findBox(HWND window, LPARAM context) {
        auto* found = reinterpret_cast<Found*>(context);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            className(window) == L"#32770" && !found->skip->contains(window)) {
            found->box = window;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK longestStatic(HWND child, LPARAM context) {
        auto* text = reinterpret_cast<std::wstring*>(context);
        if (_wcsicmp(className(child).c_str(), L"Static") == 0 &&
            textOf(child).size() > text->size()) {
            *text = textOf(child);
        }
        return TRUE;
    }

    static DWORD WINAPI run(LPVOID self) {
        auto* answerer = static_cast<MessageBoxAnswerer*>(self);
        std::set<HWND> answered;
        // Bounded: a test that forgets to stop it does not hang the run.
        for (int round = 0; round < 3000 && InterlockedCompareExchange(&answerer->stop_, 0, 0) == 0;
             ++round) {
            Found found{nullptr, &answered};
            EnumWindows(findBox, reinterpret_cast<LPARAM>(&found));
            if (found.box != nullptr) {
                Sleep(50); // let the box finish opening
                std::wstring text;
                EnumChildWindows(found.box, longestStatic, reinterpret_cast<LPARAM>(&text));
                const HWND form = FindWindowW(L"Form1", nullptr);
                answerer->shown_.push_back({narrow(textOf(found.box)), narrow(text)});
                answerer->formVisibleAtBox_.push_back(form != nullptr && IsWindowVisible(form));
                const size_t index = answerer->shown_.size() - 1;
                const int answer =
                    index < answerer->answers_.size() ? answerer->answers_[index] : IDOK;
                PostMessageW(found.box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
                answered.insert(found.box);
                InterlockedIncrement(&answerer->answered_);
            }
            Sleep(20);
        }
        return 0;
    }

public:
    std::vector<bool> formVisibleAtBox_;

private:
    std::vector<int> answers_;
    std::vector<ShownMessage> shown_;
    HANDLE thread_ = nullptr;
    LONG stop_ = 0;
    LONG answered_ = 0;
};

// --- Every control as the table gives it
// -----------------------------------------------------------

const wchar_t* expectedClass(Kind kind) {
    switch (kind) {
    case Kind::Window:
        return L"Form1";
    case Kind::Tabs:
        return WC_TABCONTROLW;
    case Kind::Page:
    case Kind::Frame:
        return L"QuellixPanel";
    case Kind::Label:
    case Kind::Picture:
        return L"Static";
    case Kind::Edit:
        return L"Edit";
    case Kind::Banner:
        return win::kBannerClass;
    default:
        return L"Button";
    }
}

// The control's rectangle in pixels, relative to the client area of `parent`.
RECT rectIn(HWND control, HWND parent) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void expectLayout(win::FormWindow& form, int dpi) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " dpi");
    auto px = [dpi](int twips) { return layout::toPixels(twips, dpi); };
    for (const ControlRow& row : layout::rows()) {
        SCOPED_TRACE(std::string(row.name));
        HWND control = form.control(row.name);
        if (row.kind == Kind::FileDialog) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(_wcsicmp(className(control).c_str(), expectedClass(row.kind)), 0)
            << narrow(className(control));
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        if (row.kind == Kind::Window) {
            RECT client;
            GetClientRect(control, &client);
            EXPECT_EQ(client.right, px(row.rect.width));
            EXPECT_EQ(client.bottom, px(row.rect.height));
            EXPECT_EQ(narrow(textOf(control)), row.caption);
            EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
            EXPECT_NE(style & WS_SYSMENU, 0);
            continue;
        }
        EXPECT_EQ(GetParent(control), form.control(row.container));
        if (row.kind == Kind::Tabs) {
            ASSERT_EQ(SendMessageW(control, TCM_GETITEMCOUNT, 0, 0), 4);
            for (int i = 0; i < 4; ++i) {
                wchar_t caption[64] = {};
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = caption;
                item.cchTextMax = 64;
                SendMessageW(control, TCM_GETITEMW, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&item));
                EXPECT_EQ(narrow(caption), layout::tabCaptions()[static_cast<size_t>(i)]);
            }
        } else if (row.kind != Kind::Banner) {
            EXPECT_EQ(narrow(textOf(control)), row.caption);
        }
        EXPECT_EQ(IsWindowEnabled(control) != 0, row.enabled);
        if (row.kind != Kind::Page) {
            EXPECT_EQ((style & WS_VISIBLE) != 0, row.visible);
        }
        switch (row.kind) {
        case Kind::Page: {
            // Below the tab captions, inside the tab control.
            RECT page = rectIn(control, GetParent(control));
            RECT caption;
            SendMessageW(GetParent(control), TCM_GETITEMRECT, 0,
                         reinterpret_cast<LPARAM>(&caption));
            EXPECT_GE(page.top, caption.bottom);
            EXPECT_LT(page.top, px(row.rect.top) + px(720)); // the frames' tops stay on the page
            continue;
        }
        case Kind::Label:
            EXPECT_EQ((style & SS_TYPEMASK) == SS_CENTER, row.align == layout::Align::Centre);
            EXPECT_NE(style & SS_NOPREFIX, 0);
            break;
        case Kind::CheckBox:
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
            EXPECT_NE(style & WS_TABSTOP, 0);
            break;
        case Kind::Button:
            EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
            EXPECT_NE(style & WS_TABSTOP, 0);
            break;
        case Kind::Edit:
            EXPECT_NE(style & WS_TABSTOP, 0);
            EXPECT_NE(style & ES_AUTOHSCROLL, 0);
            break;
        default:
            break;
        }
        const RECT got = rectIn(control, form.control(layout::geometryParent(row)));
        EXPECT_EQ(got.left, px(row.rect.left));
        EXPECT_EQ(got.top, px(row.rect.top));
        EXPECT_EQ(got.right - got.left, px(row.rect.width));
        EXPECT_EQ(got.bottom - got.top, px(row.rect.height));

        if (row.kind == Kind::Frame) {
            control = GetWindow(control, GW_CHILD); // the frame's caption is drawn by its box
            while (control != nullptr &&
                   (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
                control = GetWindow(control, GW_HWNDNEXT);
            }
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(narrow(textOf(control)), row.caption);
        }
        if (row.kind == Kind::Banner) {
            continue; // draws with fonts of its own
        }
        LOGFONTW font{};
        auto* handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        ASSERT_NE(handle, nullptr);
        GetObjectW(handle, sizeof(font), &font);
        switch (row.font) {
        case layout::Font::Title:
            EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
            EXPECT_EQ(font.lfHeight, -MulDiv(2775, dpi, 7200));
            break;
        case layout::Font::Bold:
            EXPECT_EQ(font.lfWeight, FW_BOLD);
            EXPECT_EQ(font.lfHeight, -MulDiv(975, dpi, 7200));
            break;
        default:
            EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi, 72));
            break;
        }
    }
}

TEST(WindowLayout, EveryControlIsAsTheTableSaysAtEachDpi) {
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
}

TEST(WindowLayout, OnlyTheCurrentTabShowsItsControls) {
    win::FormWindow form(GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.create());
    HWND tabs = form.control("SSTab1");
    const char* pages[] = {"tab_jeux1", "tab_jeux2", "tab_configuration", "tab_presentation"};
    for (int tab : {0, 2, 3, 1, 0}) {
        // Selecting through the focus sends the tab control's own notices, as a click does.
        SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        pump(form);
        EXPECT_EQ(form.currentTab(), tab);
        for (int page = 0; page < 4; ++page) {
            EXPECT_EQ((GetWindowLongPtrW(form.control(pages[page]), GWL_STYLE) & WS_VISIBLE) != 0,
                      page == tab)
                << "tab " << tab << " page " << page;
        }
    }
}

// --- Pictures
// --------------------------------------------------------------------------------------

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
    ASSERT_EQ(tick->width, 10);
    ASSERT_EQ(tick->height, 10);
    const COLORREF ground = GetSysColor(COLOR_ACTIVEBORDER);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool red = layout::kTick[y][static_cast<size_t>(x)] == '#';
            EXPECT_EQ(tick->at(x, y), red ? RGB(255, 0, 0) : ground) << x << "," << y;
        }
    }

    auto pixelsOf = [&form](const char* name) {
        auto capture = captureWindow(form.control(name), true);
        EXPECT_TRUE(capture.has_value()) << name;
        return capture ? capture->pixels : std::vector<std::uint32_t>{};
    };
    const auto academy = pixelsOf("Image7");
    const auto outcast = pixelsOf("Image22");
    const auto quake = pixelsOf("Image8");
    ASSERT_EQ(academy.size(), 32u * 32u);
    EXPECT_EQ(academy, outcast) << "Jedi Academy and Jedi Outcast share their picture";
    EXPECT_NE(academy, quake);
    std::set<std::uint32_t> colours(quake.begin(), quake.end());
    EXPECT_GT(colours.size(), 3u) << "the icon of Quake 3 was not drawn";

    SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, 2, 0);
    pump(form, 300);
    // The same picture again on the path row, where only its edges meet another ground.
    const auto pathRowQuake = pixelsOf("Image9");
    ASSERT_EQ(pathRowQuake.size(), quake.size());
    for (int y = 12; y < 20; ++y) {
        for (int x = 12; x < 20; ++x) {
            EXPECT_EQ(pathRowQuake[static_cast<size_t>(y * 32 + x)],
                      quake[static_cast<size_t>(y * 32 + x)]);
        }
    }
    EXPECT_EQ(pixelsOf("Image10"), pixelsOf("Image4")) << "both Jedi games";
    EXPECT_NE(pixelsOf("Image9"), pixelsOf("Image4"));
    EXPECT_EQ(pixelsOf("Image16"), pixelsOf("Image15")) << "both Unreal Tournaments";
}

// --- Driven by a user
// -------------------------------------------------------------------------------

const std::string kTyped = "D:\\Jeux vidéo\\Quake III Arena\\quake3.exe";

struct OpenWindow {
    explicit OpenWindow(const std::string& name, const std::string& ini)
        : folder(scratchFolder(name)), sys(folder), form(GetModuleHandleW(nullptr)) {
        EXPECT_TRUE(writeBytes(config(), ini));
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
    void click(const char* name) {
        SendMessageW(form.control(name), BM_CLICK, 0, 0);
        pump(form);
    }
    void selectTab(int tab) {
        SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        pump(form);
    }
    // Types `text` into the box as keys would, over what it held.
    void type(const char* name, const std::string& text) {
        HWND box = form.control(name);
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 0, -1);
        for (wchar_t c : widen(text)) {
            SendMessageW(box, WM_CHAR, c, 1);
        }
        pump(form);
    }

    std::string folder;
    RealSystem sys;
    win::FormWindow form;
};

const std::string kIni = "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n"
                         "[q3]\r\nPath= \r\npresent=0\r\n"
                         "[UT2003]\r\nPath=C:\\UT2003\\System\\UT2003.exe\r\npresent=1\r\n";

TEST(WindowDriven, TickTypeApplyThenTheFileHoldsThePath) {
    OpenWindow w("window-apply", kIni);
    EXPECT_TRUE(IsWindowVisible(w.form.handle()));
    EXPECT_FALSE(w.form.visible("valid_q3"));
    EXPECT_TRUE(w.form.visible("valid_ut2003"));
    EXPECT_TRUE(w.form.visible("valid_cod")) << "no present flag: shown";
    EXPECT_EQ(w.form.text("ut_path"), "C:\\UT2003\\System\\UT2003.exe");
    EXPECT_EQ(w.form.value("sansvalid_chk"), BST_CHECKED);

    w.selectTab(2);
    EXPECT_FALSE(IsWindowEnabled(w.form.control("q3_path")));
    w.click("q3_chk");
    EXPECT_EQ(w.form.value("q3_chk"), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(w.form.control("q3_path")));
    EXPECT_TRUE(IsWindowEnabled(w.form.control("btn_q3")));
    EXPECT_FALSE(IsWindowEnabled(w.form.control("ut_path")));
    w.type("q3_path", kTyped);
    EXPECT_EQ(w.form.text("q3_path"), kTyped);

    w.click("btn_appliquer");

    EXPECT_EQ(w.stored(),
              ansiOf("[General]\r\nsansvalidation=1\r\nacceleration=0\r\n"
                     "[q3]\r\nPath=" +
                     kTyped +
                     "\r\npresent=1\r\n"
                     "[UT2003]\r\nPath=C:\\UT2003\\System\\UT2003.exe\r\npresent=1\r\n"));
    EXPECT_EQ(w.form.value("q3_chk"), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(w.form.control("q3_path")));
    EXPECT_EQ(w.form.text("q3_path"), kTyped);
    EXPECT_TRUE(w.form.visible("valid_q3"));
}

TEST(WindowDriven, ResetAsksFirstAndOnlyOkResets) {
    OpenWindow w("window-reset", kIni);
    w.sys.registry.put(kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                       {kRegSz, std::string("E:\\Quake3\\quake3.exe") + '\0'});
    w.selectTab(2);
    {
        MessageBoxAnswerer answerer({IDCANCEL});
        w.click("btn_defaut");
        const auto& shown = answerer.stop();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, "quellix");
        EXPECT_EQ(shown[0].text, "Voulez vous vraiment réinitialiser tous les paramètres ?");
    }
    EXPECT_EQ(w.stored(), kIni);
    EXPECT_EQ(w.form.text("q3_path"), "");
    {
        MessageBoxAnswerer answerer({IDOK});
        w.click("btn_defaut");
        EXPECT_EQ(answerer.stop().size(), 1u);
    }
    const std::string after = w.stored();
    EXPECT_NE(after.find("[q3]\r\nPath=E:\\Quake3\\quake3.exe\r\npresent=1\r\n"), std::string::npos)
        << after;
    EXPECT_NE(after.find("[UT2003]\r\nPath= \r\npresent=0\r\n"), std::string::npos) << after;
    EXPECT_EQ(w.form.text("q3_path"), "E:\\Quake3\\quake3.exe");
    EXPECT_EQ(w.form.text("ut_path"), "");
    EXPECT_TRUE(w.form.visible("valid_q3"));
    EXPECT_FALSE(w.form.visible("valid_ut2003"));
}

TEST(WindowDriven, AFailedSaveIsSaidOnce) {
    OpenWindow w("window-readonly", kIni);
    ASSERT_TRUE(SetFileAttributesW(widen(w.config()).c_str(), FILE_ATTRIBUTE_READONLY));
    w.selectTab(2);
    w.click("q3_chk");
    w.type("q3_path", kTyped);
    {
        MessageBoxAnswerer answerer({});
        w.click("btn_appliquer");
        const auto& shown = answerer.stop();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, "quellix");
        EXPECT_EQ(shown[0].text, "Les paramètres n'ont pas pu être enregistrés.");
    }
    SetFileAttributesW(widen(w.config()).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(w.stored(), kIni);
    EXPECT_EQ(w.form.text("q3_path"), kTyped) << "the edit stays on screen";
}

TEST(WindowDriven, MnemonicsReachTheirButtons) {
    OpenWindow w("window-keys", kIni);
    // Tab 1: Alt+A is the options' "&Appliquer", alone of its letter there: it saves the options.
    w.click("accel_chk");
    ASSERT_EQ(w.form.value("accel_chk"), BST_CHECKED);
    pressAlt(w.form, L'a');
    EXPECT_NE(w.stored().find("acceleration=1"), std::string::npos) << w.stored();

    // Tab 3: "&Appliquer" and "&Annuler" share A: the keys move between them without acting.
    w.selectTab(2);
    const std::string before = w.stored();
    std::set<HWND> reached;
    for (int press = 0; press < 2; ++press) {
        pressAlt(w.form, L'a');
        reached.insert(GetFocus());
    }
    EXPECT_TRUE(reached.contains(w.form.control("btn_appliquer")));
    EXPECT_EQ(w.stored(), before);

    // Alt+D asks for the reset.
    {
        MessageBoxAnswerer answerer({IDCANCEL});
        pressAlt(w.form, L'd');
        answerer.waitFor(1);
        pump(w.form, 200);
        EXPECT_EQ(answerer.stop().size(), 1u);
    }
    EXPECT_EQ(w.stored(), before);

    // Tab moves the focus on to the next control that takes it.
    SetFocus(w.form.control("btn_defaut"));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    pump(w.form);
    EXPECT_NE(GetFocus(), w.form.control("btn_defaut"));
    EXPECT_TRUE(IsChild(w.form.handle(), GetFocus()));

    // Ctrl+Tab goes to the next tab.
    w.selectTab(0);
    SetFocus(w.form.control("SSTab1"));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(w.form.control("SSTab1"), WM_KEYDOWN, VK_TAB, 1);
    pump(w.form);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(w.form.currentTab(), 1);

    // Alt+Q quits.
    HWND window = w.form.handle();
    pressAlt(w.form, L'q');
    EXPECT_FALSE(IsWindow(window));
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(WindowDriven, QuitAndTheCloseBoxEndWithoutSaving) {
    for (const char* how : {"btn_quitter", "close box"}) {
        OpenWindow w(std::string("window-quit-") + (how[0] == 'b' ? "button" : "box"), kIni);
        w.selectTab(2);
        w.click("q3_chk");
        w.type("q3_path", kTyped);
        HWND window = w.form.handle();
        if (how[0] == 'b') {
            w.click("btn_quitter");
        } else {
            SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            pump(w.form);
        }
        EXPECT_FALSE(IsWindow(window)) << how;
        MSG quit;
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << how;
        EXPECT_EQ(w.stored(), kIni) << how;
    }
}

// --- The whole window as start-up runs it
// ---------------------------------------------------------

struct Driver {
    std::vector<ShownMessage> messages;
    std::vector<bool> formVisibleAtMessage;
    bool formShown = false;
    int tabAtStart = -1;
    win::BannerShows banners[2] = {win::BannerShows::Nothing, win::BannerShows::Nothing};
    int screenshots = 0;
    std::wstring folder;
};

DWORD WINAPI drive(LPVOID context) {
    auto* d = static_cast<Driver*>(context);
    {
        MessageBoxAnswerer answerer({IDOK});
        answerer.waitFor(1);
        HWND form = nullptr;
        for (int waited = 0; waited < 20000 && form == nullptr; waited += 50) {
            HWND found = FindWindowW(L"Form1", nullptr);
            if (found != nullptr && IsWindowVisible(found)) {
                form = found;
            }
            Sleep(50);
        }
        d->formVisibleAtMessage = answerer.formVisibleAtBox_;
        d->messages = answerer.stop();
        if (form == nullptr) {
            return 1;
        }
        d->formShown = true;
        HWND tabs = FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr);
        d->tabAtStart = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        // The banners' address refuses at once: both end on their own banner.
        std::vector<HWND> banners;
        EnumChildWindows(
            form,
            [](HWND child, LPARAM list) {
                if (className(child) == win::kBannerClass) {
                    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&banners));
        for (int waited = 0; waited < 20000; waited += 50) {
            bool fetching = false;
            for (HWND banner : banners) {
                fetching = fetching || win::bannerShows(banner) == win::BannerShows::Fetching;
            }
            if (!fetching) {
                break;
            }
            Sleep(50);
        }
        for (size_t i = 0; i < banners.size() && i < 2; ++i) {
            d->banners[i] = win::bannerShows(banners[i]);
        }
        // A picture of each tab, kept beside the test program.
        const wchar_t* names[] = {L"1-jeux-part-1.png", L"2-jeux-part-2.png",
                                  L"3-configuration.png", L"4-presentation.png"};
        CreateDirectoryW(d->folder.c_str(), nullptr);
        for (int tab = 0; tab < 4; ++tab) {
            SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
            RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Sleep(400);
            auto capture = captureWindow(form);
            if (capture && savePng(*capture, d->folder + L"\\" + names[tab])) {
                ++d->screenshots;
            }
        }
        SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
        // The user leaves with Alt+Q.
        PostMessageW(form, WM_SYSCHAR, L'q', 1 | (1 << 29));
    }
    return 0;
}

TEST(WindowStartup, SaysOnceThatConfigCouldNotBeCreatedThenShowsTheWindowUntilQuit) {
    const std::string folder = scratchFolder("window-startup");
    RealSystem sys(folder);
    Driver driver;
    driver.folder = widen(buildFolder()) + L"\\screenshots";
    HANDLE thread = CreateThread(nullptr, 0, drive, &driver, 0, nullptr);

    const int exitCode =
        win::runMainWindow(sys.os, sys.dialogs, true, "http://127.0.0.1:9/fr/quellix_V1.swf");

    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(driver.messages.size(), 1u);
    EXPECT_EQ(driver.messages[0].title, "quellix");
    EXPECT_EQ(driver.messages[0].text,
              "Le Quellix Vorbanix ne peut pas créer son fichier config.ini : les paramètres ne "
              "seront pas enregistrés.");
    ASSERT_EQ(driver.formVisibleAtMessage.size(), 1u);
    EXPECT_FALSE(driver.formVisibleAtMessage[0]) << "the message comes before the window";
    EXPECT_TRUE(driver.formShown);
    EXPECT_EQ(driver.tabAtStart, 0);
    EXPECT_EQ(driver.banners[0], win::BannerShows::OwnBanner);
    EXPECT_EQ(driver.banners[1], win::BannerShows::OwnBanner);
    EXPECT_EQ(driver.screenshots, 4);
    EXPECT_FALSE(readBytes(folder + "\\config.ini").has_value()) << "the window writes nothing";
}

} // namespace
} // namespace quellix::wintest
