// The real window, started as the program starts it and driven through its main flow by messages
// from another thread, as a user's mouse and keyboard drive it; and its banner, a GIF.

#include "harness.h"
#include "window_capture.h"

#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/banner_image_win.h"
#include "windows/banner_win.h"
#include "windows/files_win.h"
#include "windows/form_window.h"
#include "windows/main_window.h"

#include <commctrl.h>
#include <winsock2.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <thread>

namespace quellix::wintest {

static std::string textOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return narrow(text);
}

// The message boxes this thread opens, answered OK: title, text, and whether Form1 was shown yet.
static std::vector<std::string> boxes;

static BOOL CALLBACK countWindow(HWND, LPARAM n) {
    return ++*reinterpret_cast<int*>(n);
}

static LRESULT CALLBACK answerBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t name[8] = {};
    if (code == HCBT_ACTIVATE && GetClassNameW(box, name, 8) && name == std::wstring(L"#32770")) {
        std::string text; // the longest static text is the message
        for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            text = textOf(c).size() > text.size() ? textOf(c) : text;
        }
        // Windows made before the first paint: the tabs and their arrows, the pages, the banners,
        // Quitter, the first page's frames (panel and border), boxes and button; the rest drawn.
        const HWND form = FindWindowW(L"Form1", nullptr);
        int made = 0;
        EnumChildWindows(form, countWindow, reinterpret_cast<LPARAM>(&made));
        const std::string when = IsWindowVisible(form)
                                     ? ""
                                     : " (before the window, " + std::to_string(made) + " windows)";
        boxes.push_back(textOf(box) + ": " + text + when);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Window, StartsAsTheProgramStartsItAndFollowsAUser) {
    test::TestSystem t; // an in-memory registry and process
    t.process.folder = scratchFolder("window");
    win::WindowsFiles files;
    win::WindowsDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    const std::string config = t.process.folder + "\\config.ini";
    ASSERT_TRUE(writeBytes(
        config, "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[q3]\r\n"
                "Path= \r\npresent=0\r\n[UT2003]\r\nPath=C:\\UT\\UT2003.exe\r\npresent=1\r\n"));
    std::vector<std::string> seen; // what the window showed at each step
    // Once the window and its banners are up, a user's work. Sent messages run on the window's
    // thread, which is the test's.
    std::thread user([&] {
        HWND window = nullptr;
        for (int i = 0; i < 400 && !IsWindowVisible(window = FindWindowW(L"Form1", nullptr)); ++i) {
            Sleep(50);
        }
        auto& form = *reinterpret_cast<win::FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        auto shows = [&form](const char* banner) {
            return std::to_string(static_cast<int>(win::bannerShows(form.control(banner))));
        };
        auto banners = [&shows] { return shows("ShockwaveFlash1") + shows("ShockwaveFlash2"); };
        for (int i = 0; i < 400 && banners().find_first_of("01") != std::string::npos; ++i) {
            Sleep(50); // not started yet (they start after the first paint), or fetching
        }
        auto look = [&](const std::string& step) { // size, tab, ticks, q3 row, paths, banners
            RECT r;
            GetClientRect(window, &r);
            auto bit = [](bool on) { return on ? "1" : "0"; };
            seen.push_back(step + ": " + std::to_string(r.right) + "x" + std::to_string(r.bottom) +
                           " " + std::to_string(form.currentTab()) + " " +
                           bit(form.visible("valid_q3")) + bit(form.visible("valid_ut2003")) + " " +
                           std::to_string(form.value("q3_chk")) + bit(form.enabled("q3_path")) +
                           bit(form.enabled("btn_q3")) + bit(form.enabled("ut_path")) + " " +
                           form.text("q3_path") + "|" + form.text("ut_path") + " " + banners());
        };
        auto turnTo = [&](int tab) {
            SendMessageW(form.control("SSTab1"), TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        };
        turnTo(2);
        look(IsWindowVisible(form.control("q3_path")) ? "opened, on screen" : "opened, hidden");
        EXPECT_EQ(form.text("Label6") + "|" + form.text("Label14"), "Quake 3|Q3"); // by name
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
        // Posted, as a click comes: the window's own loop must hand it to the button.
        PostMessageW(form.control("btn_appliquer"), BM_CLICK, 0, 0);
        Sleep(300);
        look("applied");
        EXPECT_NE(readBytes(config).value_or("").find(
                      "[q3]\r\nPath=D:\\Jeux vid\xE9o\\quake3.exe\r\npresent=1\r\n"),
                  std::string::npos);
        turnTo(0); // painted and settled, as a picture needs
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);
        const auto icon = captureArea(form.screenRect("Image7"));
        const std::set colours(icon->pixels.begin(), icon->pixels.end());
        EXPECT_GT(colours.size(), 3u) << "a game's icon drawn flat";
        turnTo(2);
        RECT suggested{10, 10, 900, 900}; // moved to a screen of 144 dpi
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                     reinterpret_cast<LPARAM>(&suggested));
        look("at 144 dpi");
        PostMessageW(window, WM_SYSCHAR, L'q', 1 | (1 << 29)); // Alt+Q
    });
    const HHOOK hook = SetWindowsHookExW(WH_CBT, answerBox, nullptr, GetCurrentThreadId());
    // As when config.ini could not be created; nothing listens at the banners' address.
    EXPECT_EQ(win::runMainWindow({t.registry, files, t.process, dialogs, ansi, t.wine}, dialogs,
                                 true, "http://127.0.0.1:9/fr/quellix_V1.swf"),
              0);
    UnhookWindowsHookEx(hook);
    user.join();
    EXPECT_EQ(boxes,
              (std::vector<std::string>{
                  "quellix: Le Quellix Vorbanix ne peut pas créer son fichier config.ini : les "
                  "paramètres ne seront pas enregistrés. (before the window, 16 windows)"}));
    const std::string typed = "D:\\Jeux vidéo\\quake3.exe|C:\\UT\\UT2003.exe 33";
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "opened, on screen: 675x610 2 01 0000 |C:\\UT\\UT2003.exe 33",
                        "ticked and typed: 675x610 2 01 1110 " + typed,
                        "applied: 675x610 2 11 0000 " + typed,
                        "at 144 dpi: 1013x915 2 11 0000 " + typed}));
}

using namespace std::literals;

// A 12 x 8 red picture on a 12 x 10 screen, then a 4 x 4 blue square at (6, 2), 250 ms each.
constexpr std::string_view kGif =
    "GIF89a\x0c\x00\x0a\x00\xf0\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x00\x19\x00\x00\x00!\xff"
    "\x0bNETSCAPE2.0\x03\x01\x00\x00\x00,\x00\x00\x00\x00\x0c\x00\x08\x00\x00\x02\x08\x84\x8f\xa9"
    "\xcb\xed\x0f\x63\x2a\x00!\xf9\x04\x00\x19\x00\x00\x00,\x06\x00\x02\x00\x04\x00\x04\x00\x80"
    "\x00\x00\xff\x00\x00\x00\x02\x04\x84\x8f\x09\x05\x00;"sv;
// A still PNG of 2 x 1: a half-transparent red pixel, then a blue one.
constexpr std::string_view kPng =
    "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x00\x02\x00\x00\x00\x01\x08\x06\x00\x00\x00"
    "\xf4\x22\x7f\x8a\x00\x00\x00\x11IDAT\x78\xda\x63\xf8\xcf\xc0\xd0\xc0\xc0\xf0\xff\x3f\x00"
    "\x0d\x7e\x03\x7e\x97\xf1\x88\x3f\x00\x00\x00\x00IEND\xae\x42\x60\x82"sv;
// A JPEG of one grey pixel (182), its frame header after another segment.
const std::string kJpeg =
    std::string("\xff\xd8\xff\xdb\x00\x43\x00"sv) + std::string(64, '\x10') +
    std::string("\xff\xc0\x00\x0b\x08\x00\x01\x00\x01\x01\x01\x11\x00\xff\xc4\x00\x14\x00\x01"
                "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x05\xff\xc4\x00\x14"
                "\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\xda"
                "\x00\x08\x01\x01\x00\x00\x3f\x00\x6d\xff\xd9"sv);

// A GIF on a 16 x 16 screen of `frames` pictures of 4096 x 4096, each coded in full (one colour,
// each code one zero longer than the last, the LZW table cleared whenever it fills): a small file
// that is a great deal of work to decode.
std::string heavyGif(int frames) {
    std::string bytes, codes;
    std::uint32_t pending = 0;
    int bits = 0, width = 3;
    auto put = [&](int code) { // least significant bit first
        for (pending |= static_cast<std::uint32_t>(code) << bits, bits += width; bits >= 8;
             bits -= 8, pending >>= 8) {
            bytes += static_cast<char>(pending & 0xff);
        }
    };
    for (long left = 4096L * 4096; left > 0;) { // a round: clear, then codes of 1, 2, 3... zeros
        put(4);
        width = 3;
        for (long run = 1, last = 5; left > 0 && last < 4095; left -= run++) {
            run = std::min(run, left); // the code of n zeros: 0 for one, else n + 4
            put(run == 1 ? 0 : static_cast<int>(run + 4));
            width += ++last == 1 << width; // the table fills up to 4095
        }
    }
    put(5); // end
    bytes += bits > 0 ? std::string(1, static_cast<char>(pending)) : "";
    for (size_t i = 0; i < bytes.size(); i += 255) { // in blocks of at most 255
        codes += static_cast<char>(std::min<size_t>(255, bytes.size() - i)) + bytes.substr(i, 255);
    }
    std::string gif("GIF89a\x10\x00\x10\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff", 19);
    for (int i = 0; i < frames; ++i) {
        gif += std::string(
                   "\x21\xf9\x04\x00\x0a\x00\x00\x00\x2c\x00\x00\x00\x00\x00\x10\x00\x10\x00\x02",
                   19) +
               codes + '\0';
    }
    return gif + '\x3b';
}

TEST(Banner, DecodesAGifOnItsScreenAndPlaysOneServedHere) {
    const auto movie = win::decodeBanner(std::string(kGif));
    ASSERT_TRUE(movie && movie->frames.size() == 2);
    EXPECT_EQ(movie->canvas.cx * 100 + movie->canvas.cy, 1210);
    // Pixel (x, y) of a frame, blue first, as the frame's top-down pixels hold it.
    auto pixel = [](const win::BannerMovie& decoded, int frame, int x, int y) {
        DIBSECTION dib{};
        GetObjectW(decoded.frames[frame].bitmap, sizeof(dib), &dib);
        return static_cast<const BYTE*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes + x * 4;
    };
    std::string seen; // frame, x, y: delay and colour
    for (const auto& [frame, x, y] :
         {std::tuple{0, 7, 3}, {0, 7, 9}, {1, 6, 2}, {1, 9, 5}, {1, 10, 6}}) {
        const BYTE* p = pixel(*movie, frame, x, y);
        seen += std::to_string(movie->frames[frame].delayMs) + ":" + std::to_string(p[2] / 255) +
                std::to_string(p[1] / 255) + std::to_string(p[0] / 255) + " ";
    }
    EXPECT_EQ(seen, "250:100 250:000 250:001 250:001 250:100 ");
    std::string large(kGif); // the same frames on a screen of 4096 x 4096: one of them fits
    large.replace(6, 4, "\x00\x10\x00\x10", 4);
    const auto bounded = win::decodeBanner(large);
    EXPECT_TRUE(bounded && bounded->canvas.cx == 4096 && bounded->frames.size() == 1);
    const auto png = win::decodeBanner(std::string(kPng)), jpeg = win::decodeBanner(kJpeg);
    ASSERT_TRUE(png && jpeg && png->canvas.cx == 2 && jpeg->frames.size() == 1);
    const BYTE *half = pixel(*png, 0, 0, 0), *blue = pixel(*png, 0, 1, 0),
               *grey = pixel(*jpeg, 0, 0, 0);
    EXPECT_TRUE(std::abs(half[2] - 128) <= 1 && half[0] == 0 && blue[0] == 255 &&
                std::abs(grey[1] - 182) <= 4)
        << int(half[2]) << " " << int(half[0]) << " " << int(blue[0]) << " " << int(grey[1]);

    // The work a file declares, counted from its headers before any decoder sees it.
    for (const auto& [picture, pixels] : {std::pair{std::string(kGif), 112ull},
                                          {heavyGif(10), 167'772'160ull},
                                          {std::string(kPng), 2ull},
                                          {kJpeg, 1ull}}) {
        EXPECT_EQ(win::declaredPixels(picture), pixels) << pixels;
    }

    // Served here, one request each, measured on the server's side: the GIF above; one frame of
    // 4096 x 4096 that takes long to decode, while the window must keep answering; ten such frames,
    // beyond the bounded work, refused from their headers alone; then an endless body, a huge
    // declared length, silence and a byte at a time, which the download's limits end.
    const std::string ok = "HTTP/1.0 200 OK\r\n", endless(65536, 'x');
    auto picture = [&ok](const std::string& gif) {
        return ok + "Content-Length: " + std::to_string(gif.size()) + "\r\n\r\n" + gif;
    };
    const struct {
        std::string reply, again; // sent once, then again and again until the connection drops
        int frames;               // shown; none: the banner's own picture
        size_t bytes;             // at most, after the reply
    } cases[] = {{picture(std::string(kGif)), "", 2, 0},
                 {picture(heavyGif(1)), "", 1, 0},
                 {picture(heavyGif(10)), "", 0, 0},
                 {ok + "\r\n", endless, 0, 12u << 20},
                 {ok + "Content-Length: 1000000000000\r\n\r\n", endless, 0, 2u << 20},
                 {"", "", 0, 0},
                 {ok + "\r\n", "x", 0, 200}};
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{AF_INET, 0, {{{127, 0, 0, 1}}}, {}};
    int size = sizeof(address);
    bind(listener, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    listen(listener, 1);
    std::vector<std::pair<size_t, ULONGLONG>> served; // bytes after the reply, milliseconds
    using enum win::BannerShows;
    std::thread server([&] {
        for (const auto& c : cases) {
            const SOCKET client = accept(listener, nullptr, nullptr);
            const ULONGLONG start = GetTickCount64();
            std::string request(4096, '\0');
            recv(client, request.data(), static_cast<int>(request.size()), 0);
            send(client, c.reply.data(), static_cast<int>(c.reply.size()), 0);
            size_t sent = 0;
            for (int n = 1; n > 0 && !c.again.empty();) {
                n = send(client, c.again.data(), static_cast<int>(c.again.size()), 0);
                sent += n > 0 ? n : 0;
                Sleep(c.again.size() == 1 ? 100 : 0);
            }
            recv(client, request.data(), 1, 0); // until the download drops the connection
            served.emplace_back(sent, GetTickCount64() - start);
            closesocket(client);
        }
    });
    win::registerBannerClass(GetModuleHandleW(nullptr));
    for (const auto& c : cases) {
        HWND banner = CreateWindowExW(0, win::kBannerClass, L"", WS_POPUP, 0, 0, 257, 241, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        // How long the window's thread is busy at the most, from the banner's start to each pass
        // over its messages: a message waits that long.
        ULONGLONG before = GetTickCount64(), longest = 0;
        win::setBannerMovie(banner, "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
                                        "/fr/quellix_V1.swf");
        win::playBanner(banner);
        for (int i = 0; i < 1500; ++i, Sleep(20), before = GetTickCount64()) {
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
                DispatchMessageW(&message);
            }
            const bool fetching = win::bannerShows(banner) == Fetching;
            longest = std::max(longest, GetTickCount64() - before);
            if (!fetching) {
                break;
            }
        }
        EXPECT_EQ(win::bannerShows(banner), c.frames > 0 ? Movie : OwnBanner) << c.frames;
        EXPECT_EQ(win::bannerFrameCount(banner), c.frames);
        // Pictures: 100 ms; a transfer its limits end: 1 s (on this thread it would take 15 s).
        EXPECT_LT(longest, c.again.empty() && !c.reply.empty() ? 100u : 1000u) << c.reply;
        DestroyWindow(banner);
    }
    closesocket(listener); // a server still waiting gives up
    server.join();
    WSACleanup();
    for (size_t i = 0; i < served.size(); ++i) { // 15 s for the whole transfer
        EXPECT_TRUE(served[i].first <= cases[i].bytes && served[i].second < 16000) << i;
    }
}

} // namespace quellix::wintest
