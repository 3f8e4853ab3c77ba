// The banner control: decoding its pictures, and playing an address served on this machine.

#include "platform/windows/banner_image_win.h"
#include "platform/windows/banner_win.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <string>

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
const unsigned char kStillPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x04, 0x01, 0x03, 0x00, 0x00, 0x00, 0x97, 0xca, 0xdc,
    0x00, 0x00, 0x00, 0x00, 0x04, 0x67, 0x41, 0x4d, 0x41, 0x00, 0x00, 0xb1, 0x8f, 0x0b, 0xfc, 0x61,
    0x05, 0x00, 0x00, 0x00, 0x20, 0x63, 0x48, 0x52, 0x4d, 0x00, 0x00, 0x7a, 0x26, 0x00, 0x00, 0x80,
    0x84, 0x00, 0x00, 0xfa, 0x00, 0x00, 0x00, 0x80, 0xe8, 0x00, 0x00, 0x75, 0x30, 0x00, 0x00, 0xea,
    0x60, 0x00, 0x00, 0x3a, 0x98, 0x00, 0x00, 0x17, 0x70, 0x9c, 0xba, 0x51, 0x3c, 0x00, 0x00, 0x00,
    0x06, 0x50, 0x4c, 0x54, 0x45, 0x00, 0xff, 0x00, 0xff, 0xff, 0xff, 0x6f, 0xbd, 0x58, 0x51, 0x00,
    0x00, 0x00, 0x01, 0x62, 0x4b, 0x47, 0x44, 0x01, 0xff, 0x02, 0x2d, 0xde, 0x00, 0x00, 0x00, 0x07,
    0x74, 0x49, 0x4d, 0x45, 0x07, 0xea, 0x0c, 0x06, 0x09, 0x0a, 0x26, 0xbc, 0xa3, 0x76, 0x61, 0x00,
    0x00, 0x00, 0x0b, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0x60, 0x80, 0x00, 0x00, 0x00, 0x08,
    0x00, 0x01, 0x2f, 0x20, 0xdd, 0x31, 0x00, 0x00, 0x00, 0x25, 0x74, 0x45, 0x58, 0x74, 0x64, 0x61,
    0x74, 0x65, 0x3a, 0x63, 0x72, 0x65, 0x61, 0x74, 0x65, 0x00, 0x32, 0x30, 0x32, 0x36, 0x2d, 0x31,
    0x32, 0x2d, 0x30, 0x36, 0x54, 0x30, 0x39, 0x3a, 0x31, 0x30, 0x3a, 0x33, 0x38, 0x2b, 0x30, 0x30,
    0x3a, 0x30, 0x30, 0xc7, 0x54, 0xf4, 0x8d, 0x00, 0x00, 0x00, 0x25, 0x74, 0x45, 0x58, 0x74, 0x64,
    0x61, 0x74, 0x65, 0x3a, 0x6d, 0x6f, 0x64, 0x69, 0x66, 0x79, 0x00, 0x32, 0x30, 0x32, 0x36, 0x2d,
    0x31, 0x32, 0x2d, 0x30, 0x36, 0x54, 0x30, 0x39, 0x3a, 0x31, 0x30, 0x3a, 0x33, 0x38, 0x2b, 0x30,
    0x30, 0x3a, 0x30, 0x30, 0xb6, 0x09, 0x4c, 0x31, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44,
    0xae, 0x42, 0x60, 0x82};
const unsigned char kStillJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03,
    0x03, 0x03, 0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07,
    0x07, 0x06, 0x08, 0x0c, 0x0a, 0x0c, 0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0x0d, 0x0e, 0x12, 0x10, 0x0d,
    0x0e, 0x11, 0x0e, 0x0b, 0x0b, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f,
    0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x08,
    0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x14,
    0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0x3f, 0xff, 0xd9};

std::string bytesOf(const unsigned char* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The colour of pixel (x, y) of a frame, as RGB().
COLORREF pixel(const win::BannerFrame& frame, int x, int y) {
    DIBSECTION dib{};
    if (GetObjectW(frame.bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr) {
        return CLR_INVALID;
    }
    const auto* row = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) +
                      static_cast<size_t>(y) * static_cast<size_t>(dib.dsBm.bmWidthBytes);
    const std::uint8_t* p = row + static_cast<size_t>(x) * 4;
    return RGB(p[2], p[1], p[0]);
}

TEST(WindowBanner, DecodesAnimatedGifFrameByFrame) {
    auto movie = win::decodeBanner(bytesOf(kAnimatedGif, sizeof(kAnimatedGif)));
    ASSERT_TRUE(movie.has_value());
    EXPECT_EQ(movie->canvas.cx, 12);
    EXPECT_EQ(movie->canvas.cy, 8);
    ASSERT_EQ(movie->frames.size(), 2u);
    for (const auto& frame : movie->frames) {
        EXPECT_EQ(frame.delayMs, 250u);
    }
    struct Case {
        size_t frame;
        int x, y;
        COLORREF colour;
    };
    for (const Case& c : {Case{0, 0, 0, RGB(255, 0, 0)}, Case{0, 7, 3, RGB(255, 0, 0)},
                          Case{1, 7, 3, RGB(0, 0, 255)}, Case{1, 6, 2, RGB(0, 0, 255)},
                          Case{1, 9, 5, RGB(0, 0, 255)}, Case{1, 10, 6, RGB(255, 0, 0)},
                          Case{1, 5, 2, RGB(255, 0, 0)}, Case{1, 0, 7, RGB(255, 0, 0)}}) {
        EXPECT_EQ(pixel(movie->frames[c.frame], c.x, c.y), c.colour)
            << "frame " << c.frame << " at " << c.x << "," << c.y;
    }
}

TEST(WindowBanner, DecodesStillPngAndJpeg) {
    struct Case {
        const char* name;
        std::string bytes;
        LONG w, h;
        COLORREF colour;
        int tolerance;
    };
    const Case cases[] = {
        {"png", bytesOf(kStillPng, sizeof(kStillPng)), 6, 4, RGB(0, 255, 0), 0},
        {"jpeg", bytesOf(kStillJpeg, sizeof(kStillJpeg)), 8, 8, RGB(128, 128, 128), 4},
    };
    for (const Case& c : cases) {
        auto movie = win::decodeBanner(c.bytes);
        ASSERT_TRUE(movie.has_value()) << c.name;
        EXPECT_EQ(movie->canvas.cx, c.w) << c.name;
        EXPECT_EQ(movie->canvas.cy, c.h) << c.name;
        ASSERT_EQ(movie->frames.size(), 1u) << c.name;
        EXPECT_EQ(movie->frames[0].delayMs, 0u) << c.name;
        const COLORREF got = pixel(movie->frames[0], 1, 1);
        EXPECT_NEAR(GetRValue(got), GetRValue(c.colour), c.tolerance) << c.name;
        EXPECT_NEAR(GetGValue(got), GetGValue(c.colour), c.tolerance) << c.name;
        EXPECT_NEAR(GetBValue(got), GetBValue(c.colour), c.tolerance) << c.name;
    }
}

// A GIF of `frames` one-pixel pictures on a logical screen of `side` x `side`. Built by
// appending: mingw's g++ 12 reports a false -Wrestrict on chains of string additions.
std::string tinyGifOnLargeScreen(int side, int frames) {
    std::string gif;
    auto word = [&gif](int v) {
        gif.push_back(static_cast<char>(v & 0xff));
        gif.push_back(static_cast<char>(v >> 8));
    };
    gif.append("GIF89a");
    word(side);
    word(side);
    gif.append("\x80\x00\x00", 3);
    gif.append("\xff\x00\x00\x00\x00\xff", 6); // red, blue
    for (int i = 0; i < frames; ++i) {
        gif.append("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8); // 100 ms
        gif.push_back('\x2c');
        word(i);
        word(i);
        word(1);
        word(1);
        gif.push_back('\0');
        gif.append("\x02\x02\x44\x01\x00", 5); // one pixel of colour 0
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

TEST(WindowBanner, AnythingElseIsNotAMovie) {
    std::string gif = bytesOf(kAnimatedGif, sizeof(kAnimatedGif));
    const std::string cases[] = {
        "",
        std::string("FWS\x06\x20\x00\x00\x00", 8) + std::string(64, 'x'), // a Flash movie
        "<html><body>Introuvable</body></html>",
        gif.substr(0, 13), // a header and nothing after it
        // A bitmap is a picture, but not one a banner movie comes as.
        std::string("BM\x3a\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00"
                    "\x01\x00\x00\x00\x01\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00"
                    "\x04\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x00\x00\x00"
                    "\x00\x00\x00\x00\x00\x00\xff\x00",
                    58),
    };
    for (const std::string& bytes : cases) {
        EXPECT_FALSE(win::decodeBanner(bytes).has_value()) << bytes.substr(0, 16);
    }
}

// An HTTP server on the loopback address that answers every request with one reply.
class LoopbackServer {
public:
    explicit LoopbackServer(std::string reply) : reply_(std::move(reply)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int size = sizeof(address);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        listen(listener_, 4);
        thread_ = CreateThread(nullptr, 0, serve, this, 0, nullptr);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer() {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        closesocket(listener_);
        WSACleanup();
    }
    int port = 0;
    LONG requests = 0;

private:
    static DWORD WINAPI serve(LPVOID self) {
        auto* server = static_cast<LoopbackServer*>(self);
        // Bounded: the server stops with its test, and at the latest after a minute.
        for (int round = 0; round < 600 && InterlockedCompareExchange(&server->stop_, 0, 0) == 0;
             ++round) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(server->listener_, &ready);
            timeval wait{0, 100000};
            if (select(0, &ready, nullptr, nullptr, &wait) != 1) {
                continue;
            }
            SOCKET client = accept(server->listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                continue;
            }
            std::string request;
            char chunk[1024];
            int got;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (got = recv(client, chunk, sizeof(chunk), 0)) > 0) {
                request.append(chunk, static_cast<size_t>(got));
            }
            InterlockedIncrement(&server->requests);
            send(client, server->reply_.data(), static_cast<int>(server->reply_.size()), 0);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
        return 0;
    }

    std::string reply_;
    SOCKET listener_ = INVALID_SOCKET;
    HANDLE thread_ = nullptr;
    LONG stop_ = 0;
};

std::string httpReply(const std::string& status, const std::string& type, const std::string& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

// Plays `address` in a banner of its own and waits, pumping messages, until the fetch answered.
win::BannerShows play(const std::string& address, int* frames = nullptr) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    win::registerBannerClass(instance);
    HWND banner = CreateWindowExW(0, win::kBannerClass, L"", WS_POPUP, 0, 0, 257, 241, nullptr,
                                  nullptr, instance, nullptr);
    EXPECT_NE(banner, nullptr);
    win::setBannerMovie(banner, address);
    win::playBanner(banner);
    EXPECT_NE(win::bannerShows(banner), win::BannerShows::Nothing);
    for (int waited = 0; waited < 30000 && win::bannerShows(banner) == win::BannerShows::Fetching;
         waited += 20) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
    const win::BannerShows shows = win::bannerShows(banner);
    if (frames != nullptr) {
        *frames = win::bannerFrameCount(banner);
    }
    DestroyWindow(banner);
    return shows;
}

TEST(WindowBanner, PlayShowsTheMovieWhenItIsAPicture) {
    LoopbackServer server(
        httpReply("200 OK", "image/gif", bytesOf(kAnimatedGif, sizeof(kAnimatedGif))));
    int frames = 0;
    EXPECT_EQ(
        play("http://127.0.0.1:" + std::to_string(server.port) + "/fr/quellix_V1.swf", &frames),
        win::BannerShows::Movie);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(server.requests, 1);
}

TEST(WindowBanner, PlayFallsBackToItsOwnBanner) {
    struct Case {
        const char* name;
        std::string reply; // empty: no server at all
    };
    const Case cases[] = {
        {"a Flash movie", httpReply("200 OK", "application/x-shockwave-flash",
                                    std::string("FWS\x06", 4) + std::string(200, '\x01'))},
        {"page not found",
         httpReply("404 Not Found", "image/gif", bytesOf(kAnimatedGif, sizeof(kAnimatedGif)))},
        {"server error", httpReply("500 Internal Server Error", "text/html", "erreur")},
        {"nothing listening", ""},
    };
    for (const Case& c : cases) {
        std::string address;
        if (c.reply.empty()) {
            // A port that was free a moment ago: the connection is refused at once.
            LoopbackServer closed("");
            address = "http://127.0.0.1:" + std::to_string(closed.port) + "/fr/quellix_V1.swf";
        }
        LoopbackServer server(c.reply.empty() ? "unused" : c.reply);
        if (!c.reply.empty()) {
            address = "http://127.0.0.1:" + std::to_string(server.port) + "/fr/quellix_V1.swf";
        }
        int frames = -1;
        EXPECT_EQ(play(address, &frames), win::BannerShows::OwnBanner) << c.name;
        EXPECT_EQ(frames, 0) << c.name;
    }
}

TEST(WindowBanner, AddressesThatAreNotWebAddressesAreNotFetched) {
    for (const char* address : {"", "C:\\Windows\\win.ini", "file:///C:/Windows/win.ini",
                                "ftp://127.0.0.1/fr/quellix_V1.swf"}) {
        EXPECT_EQ(play(address), win::BannerShows::OwnBanner) << address;
    }
}

} // namespace
} // namespace quellix::wintest
