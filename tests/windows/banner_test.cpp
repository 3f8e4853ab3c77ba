// The banner: a GIF decoded frame by frame on its logical screen, and played when served on this
// machine. (Its fallback, when nothing answers, is in window_test.)

#include "windows/banner_image_win.h"
#include "windows/banner_win.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstdint>
#include <string>

namespace quellix::wintest {
namespace {

// A 12 x 8 red picture on a 12 x 10 screen, then a 4 x 4 blue square at (6, 2), 250 ms each.
const unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x0c, 0x00, 0x0a, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x19, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b,
    0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00,
    0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x08, 0x00, 0x00, 0x02, 0x08, 0x84, 0x8f,
    0xa9, 0xcb, 0xed, 0x0f, 0x63, 0x2a, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x19, 0x00, 0x00, 0x00,
    0x2c, 0x06, 0x00, 0x02, 0x00, 0x04, 0x00, 0x04, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};

// Answers the one request it is sent, from a thread of its own.
DWORD WINAPI serveOnce(LPVOID listener) {
    const SOCKET client = accept(*static_cast<SOCKET*>(listener), nullptr, nullptr);
    const std::string gif(reinterpret_cast<const char*>(kGif), sizeof(kGif));
    const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " +
                              std::to_string(gif.size()) + "\r\nConnection: close\r\n\r\n" + gif;
    std::string request(4096, '\0');
    recv(client, request.data(), static_cast<int>(request.size()), 0);
    send(client, reply.data(), static_cast<int>(reply.size()), 0);
    shutdown(client, SD_SEND);
    closesocket(client);
    return 0;
}

TEST(Banner, DecodesAGifOnItsScreenAndPlaysOneServedHere) {
    const auto movie =
        win::decodeBanner(std::string(reinterpret_cast<const char*>(kGif), sizeof(kGif)));
    ASSERT_TRUE(movie && movie->frames.size() == 2);
    EXPECT_EQ(movie->canvas.cx * 100 + movie->canvas.cy, 1210);
    std::string seen; // frame, x, y: colour, as the frames' top-down pixels hold it
    for (const auto& [frame, x, y] :
         {std::tuple{0, 7, 3}, {0, 7, 9}, {1, 6, 2}, {1, 9, 5}, {1, 10, 6}}) {
        DIBSECTION dib{};
        GetObjectW(movie->frames[frame].bitmap, sizeof(dib), &dib);
        const auto* p =
            static_cast<const std::uint8_t*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes + x * 4;
        seen += std::to_string(movie->frames[frame].delayMs) + ":" + std::to_string(p[2] / 255) +
                std::to_string(p[1] / 255) + std::to_string(p[0] / 255) + " ";
    }
    EXPECT_EQ(seen, "250:100 250:000 250:001 250:001 250:100 ");

    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    bind(listener, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    listen(listener, 1);
    HANDLE server = CreateThread(nullptr, 0, serveOnce, &listener, 0, nullptr);
    win::registerBannerClass(GetModuleHandleW(nullptr));
    HWND banner = CreateWindowExW(0, win::kBannerClass, L"", WS_POPUP, 0, 0, 257, 241, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    win::setBannerMovie(banner, "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
                                    "/fr/quellix_V1.swf");
    win::playBanner(banner);
    for (int i = 0; i < 600 && win::bannerShows(banner) == win::BannerShows::Fetching; ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(50);
    }
    EXPECT_EQ(win::bannerShows(banner), win::BannerShows::Movie);
    EXPECT_EQ(win::bannerFrameCount(banner), 2);
    DestroyWindow(banner);
    closesocket(listener);
    WaitForSingleObject(server, 10000);
    CloseHandle(server);
    WSACleanup();
}

} // namespace
} // namespace quellix::wintest
