// The banner control: decoding its pictures, and playing an address served on this machine.

#include "harness.h"
#include "window_capture.h"
#include "windows/banner_image_win.h"
#include "windows/banner_win.h"
#include "windows/wide.h"

#include <gtest/gtest.h>
#include <wincodec.h>
#include <winsock2.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>

namespace quellix::wintest {
namespace {

// A 12 x 8 red GIF whose second picture is a 4 x 4 blue square at (6, 2), 250 ms each, looping.
const unsigned char kAnimatedGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x0c, 0x00, 0x08, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x19, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b,
    0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00,
    0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x08, 0x00, 0x00, 0x02, 0x08, 0x84, 0x8f,
    0xa9, 0xcb, 0xed, 0x0f, 0x63, 0x2a, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x19, 0x00, 0x00, 0x00,
    0x2c, 0x06, 0x00, 0x02, 0x00, 0x04, 0x00, 0x04, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};
const std::string kGif(reinterpret_cast<const char*>(kAnimatedGif), sizeof(kAnimatedGif));

// A still 6 x 4 green picture in the container `format`, as the platform's own encoder writes it.
std::string greenPicture(const GUID& format) {
    const std::string file = scratchFolder("banner-picture") + "\\green";
    EXPECT_TRUE(savePng(Capture{6, 4, std::vector<std::uint32_t>(24, 0x00ff00)}, win::widen(file),
                        &format));
    return readBytes(file).value_or("");
}

// The colour of pixel (x, y) of a frame, as RGB().
COLORREF pixel(const win::BannerFrame& frame, int x, int y) {
    DIBSECTION dib{};
    if (GetObjectW(frame.bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr) {
        return CLR_INVALID;
    }
    const auto* p = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) +
                    static_cast<size_t>(y) * static_cast<size_t>(dib.dsBm.bmWidthBytes) +
                    static_cast<size_t>(x) * 4;
    return RGB(p[2], p[1], p[0]);
}

TEST(WindowBanner, DecodesGifFrameByFrameAndStillPngAndJpegButNothingElse) {
    struct Case {
        const char* name;
        std::string bytes;
        LONG side;                                                  // width * 100 + height
        size_t frames;                                              // none: not a movie
        std::vector<std::tuple<size_t, int, int, COLORREF>> pixels; // frame, x, y, colour
    };
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
    const Case cases[] = {
        {"gif",
         kGif,
         1208,
         2,
         {{0, 7, 3, red}, {1, 6, 2, blue}, {1, 9, 5, blue}, {1, 10, 6, red}, {1, 5, 2, red}}},
        {"png", greenPicture(GUID_ContainerFormatPng), 604, 1, {{0, 1, 1, green}}},
        {"jpeg", greenPicture(GUID_ContainerFormatJpeg), 604, 1, {{0, 1, 1, green}}},
        {"bitmap", greenPicture(GUID_ContainerFormatBmp), 0, 0, {}}, // not what a movie comes as
        {"flash", std::string("FWS\x06\x20\x00\x00\x00", 8) + std::string(64, 'x'), 0, 0, {}},
        {"html", "<html><body>Introuvable</body></html>", 0, 0, {}},
        {"gif header only", kGif.substr(0, 13), 0, 0, {}},
        {"nothing", "", 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto movie = win::decodeBanner(c.bytes);
        ASSERT_EQ(movie.has_value(), c.frames != 0);
        if (!movie) {
            continue;
        }
        EXPECT_EQ(movie->canvas.cx * 100 + movie->canvas.cy, c.side);
        ASSERT_EQ(movie->frames.size(), c.frames);
        for (const auto& frame : movie->frames) {
            EXPECT_EQ(frame.delayMs, c.frames == 1 ? 0u : 250u);
        }
        for (const auto& [frame, x, y, colour] : c.pixels) {
            const COLORREF got = pixel(movie->frames[frame], x, y);
            for (int shift : {0, 8, 16}) { // the JPEG may be a little off
                EXPECT_NEAR((got >> shift) & 0xff, (colour >> shift) & 0xff, 4) << x << "," << y;
            }
        }
    }
}

// A GIF of `frames` one-pixel pictures on a logical screen of `side` x `side`. Built by
// appending: mingw's g++ 12 reports a false -Wrestrict on chains of string additions.
std::string tinyGifOnLargeScreen(int side, int frames) {
    std::string gif = "GIF89a";
    auto word = [&gif](int v) {
        gif.push_back(static_cast<char>(v & 0xff));
        gif.push_back(static_cast<char>(v >> 8));
    };
    word(side);
    word(side);
    gif.append("\x80\x00\x00\xff\x00\x00\x00\x00\xff", 9); // red, blue
    for (int i = 0; i < frames; ++i) {
        gif.append("\x21\xf9\x04\x00\x0a\x00\x00\x00\x2c", 9); // 100 ms, then the picture
        for (int v : {i, i, 1, 1}) {
            word(v);
        }
        gif.append("\x00\x02\x02\x44\x01\x00", 6); // one pixel of colour 0
    }
    gif.push_back('\x3b');
    return gif;
}

TEST(WindowBanner, ALargeAnimationIsCutToABoundedSize) {
    auto small = win::decodeBanner(tinyGifOnLargeScreen(64, 10));
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->frames.size(), 10u);
    EXPECT_EQ(pixel(small->frames[9], 9, 9), RGB(255, 0, 0));
    // Ten frames of 2000 x 2000 would take 160 MB; the banner keeps what fits in 64 MiB.
    auto large = win::decodeBanner(tinyGifOnLargeScreen(2000, 10));
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(large->canvas.cx, 2000);
    EXPECT_GE(large->frames.size(), 1u);
    EXPECT_LE(large->frames.size() * 2000u * 2000u * 4u, size_t{64} << 20);
}

// An HTTP server on the loopback address that answers each request with one reply, served
// between the messages of the test's own thread.
struct LoopbackServer {
    explicit LoopbackServer(std::string answer) : reply(std::move(answer)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        bind(listener, reinterpret_cast<sockaddr*>(&address), size);
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        listen(listener, 4);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer() {
        closesocket(listener);
        WSACleanup();
    }
    void serveWaiting() {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval now{0, 0};
        if (select(0, &ready, nullptr, nullptr, &now) != 1) {
            return;
        }
        SOCKET client = accept(listener, nullptr, nullptr);
        std::string request(4096, '\0');
        recv(client, request.data(), static_cast<int>(request.size()), 0);
        ++requests;
        send(client, reply.data(), static_cast<int>(reply.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }

    std::string reply;
    SOCKET listener = INVALID_SOCKET;
    int port = 0;
    int requests = 0;
};

std::string httpReply(const std::string& status, const std::string& type, const std::string& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

// Plays `address` on `banner`, serving and dispatching until it shows something (30 s at most).
void playAndWait(HWND banner, const std::string& address, LoopbackServer& server) {
    win::setBannerMovie(banner, address);
    win::playBanner(banner);
    EXPECT_NE(win::bannerShows(banner), win::BannerShows::Nothing);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000 &&
                                       win::bannerShows(banner) == win::BannerShows::Fetching;) {
        server.serveWaiting();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

TEST(WindowBanner, PlaysAServedPictureAndFallsBackToItsOwnBannerOtherwise) {
    struct Case {
        const char* name;
        std::string reply;   // served at the loopback address, when no address is given
        std::string address; // "closed": a port that was free a moment ago
        win::BannerShows shows;
    };
    using enum win::BannerShows;
    const Case cases[] = {
        {"a picture", httpReply("200 OK", "image/gif", kGif), "", Movie},
        {"a Flash movie", httpReply("200 OK", "application/x-shockwave-flash", "FWS\x06"), "",
         OwnBanner},
        {"page not found", httpReply("404 Not Found", "image/gif", kGif), "", OwnBanner},
        {"server error", httpReply("500 Internal Server Error", "text/html", "erreur"), "",
         OwnBanner},
        {"nothing listening", "", "closed", OwnBanner},
        {"no address", "", "-", OwnBanner},
        {"a file", "", "C:\\Windows\\win.ini", OwnBanner},
        {"a file address", "", "file:///C:/Windows/win.ini", OwnBanner},
        {"ftp", "", "ftp://127.0.0.1/fr/quellix_V1.swf", OwnBanner},
    };
    HINSTANCE instance = GetModuleHandleW(nullptr);
    win::registerBannerClass(instance);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string address = c.address == "-" ? "" : c.address;
        if (c.address == "closed") {
            address = "http://127.0.0.1:" + std::to_string(LoopbackServer("").port) + "/x.swf";
        }
        LoopbackServer server(c.reply);
        if (c.address.empty()) {
            address = "http://127.0.0.1:" + std::to_string(server.port) + "/fr/quellix_V1.swf";
        }
        HWND banner = CreateWindowExW(0, win::kBannerClass, L"", WS_POPUP, 0, 0, 257, 241, nullptr,
                                      nullptr, instance, nullptr);
        ASSERT_NE(banner, nullptr);
        playAndWait(banner, address, server);
        EXPECT_EQ(win::bannerShows(banner), c.shows);
        EXPECT_EQ(win::bannerFrameCount(banner), c.shows == Movie ? 2 : 0);
        EXPECT_EQ(server.requests, c.address.empty() ? 1 : 0);
        DestroyWindow(banner);
    }
}

// A GIF on a 16 x 16 screen of `frames` pictures of 4096 x 4096, each coded in full (one colour,
// the LZW table cleared whenever it fills): a small file that is a great deal of work to decode.
std::string heavyGif(int frames) {
    std::string codes, block;
    std::uint32_t pending = 0;
    int bits = 0, width = 3, last = 5;
    auto put = [&](int code) {
        pending |= static_cast<std::uint32_t>(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, pending >>= 8) {
            block.push_back(static_cast<char>(pending & 0xff));
            if (block.size() == 255) {
                codes += static_cast<char>(block.size()) + block;
                block.clear();
            }
        }
    };
    put(4);
    for (long left = 4096L * 4096, longest = 1; left > 0;) {
        const long run = std::min(longest, left); // the code of n zeros: 0 for one, else n + 4
        put(run == 1 ? 0 : static_cast<int>(run + 4));
        left -= run;
        if (++last == 1 << width) {
            ++width;
        }
        if (last == 4095) { // the table is full: start again
            put(4);
            width = 3;
            last = 5;
            longest = 1;
        } else {
            ++longest;
        }
    }
    put(5);
    if (bits > 0) {
        block.push_back(static_cast<char>(pending));
    }
    if (!block.empty()) {
        codes += static_cast<char>(block.size()) + block;
    }
    std::string gif("GIF89a\x10\x00\x10\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff", 19);
    for (int i = 0; i < frames; ++i) {
        gif.append("\x21\xf9\x04\x00\x0a\x00\x00\x00\x2c\x00\x00\x00\x00\x00\x10\x00\x10\x00\x02",
                   19);
        gif += codes + '\0';
    }
    return gif + '\x3b';
}

// Sends `window` a message every 10 ms from a thread of its own until told to stop, counting
// those not answered within 100 ms.
struct Prober {
    HWND window;
    volatile LONG stop = 0;
    int sent = 0;
    int late = 0;
};

DWORD WINAPI probe(LPVOID parameter) {
    auto& prober = *static_cast<Prober*>(parameter);
    do {
        DWORD_PTR answer = 0;
        ++prober.sent;
        if (SendMessageTimeoutW(prober.window, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer) == 0) {
            ++prober.late;
        }
        Sleep(10);
    } while (InterlockedCompareExchange(&prober.stop, 0, 0) == 0);
    return 0;
}

TEST(WindowBanner, DecodesAwayFromTheWindowAndShowsItsOwnBannerBeyondABoundedWork) {
    using enum win::BannerShows;
    const struct {
        int frames;
        win::BannerShows shows;
    } cases[] = {{1, Movie}, {10, OwnBanner}};
    HINSTANCE instance = GetModuleHandleW(nullptr);
    win::registerBannerClass(instance);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        LoopbackServer server(httpReply("200 OK", "image/gif", heavyGif(c.frames)));
        HWND banner = CreateWindowExW(0, win::kBannerClass, L"", WS_POPUP, 0, 0, 257, 241, nullptr,
                                      nullptr, instance, nullptr);
        Prober prober{banner};
        HANDLE thread = CreateThread(nullptr, 0, probe, &prober, 0, nullptr);
        playAndWait(banner, "http://127.0.0.1:" + std::to_string(server.port) + "/b.gif", server);
        InterlockedExchange(&prober.stop, 1);
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) != 0) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // answers what it sent meanwhile
        }
        CloseHandle(thread);
        EXPECT_EQ(win::bannerShows(banner), c.shows);
        EXPECT_EQ(win::bannerFrameCount(banner), c.shows == Movie ? 1 : 0);
        EXPECT_EQ(prober.late, 0) << "of " << prober.sent << " messages";
        DestroyWindow(banner);
    }
}

} // namespace
} // namespace quellix::wintest
