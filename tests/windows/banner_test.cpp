// The banner: a GIF decoded frame by frame on its logical screen, and played when served on this
// machine. (Its fallback, when nothing answers, is in window_test.)

#include "windows/banner_image_win.h"
#include "windows/banner_win.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstdint>
#include <string>
#include <thread>

namespace quellix::wintest {
namespace {

using namespace std::literals;

// A 12 x 8 red picture on a 12 x 10 screen, then a 4 x 4 blue square at (6, 2), 250 ms each.
constexpr std::string_view kGif =
    "GIF89a\x0c\x00\x0a\x00\xf0\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x00\x19\x00\x00\x00!\xff"
    "\x0bNETSCAPE2.0\x03\x01\x00\x00\x00,\x00\x00\x00\x00\x0c\x00\x08\x00\x00\x02\x08\x84\x8f\xa9"
    "\xcb\xed\x0f\x63\x2a\x00!\xf9\x04\x00\x19\x00\x00\x00,\x06\x00\x02\x00\x04\x00\x04\x00\x80"
    "\x00\x00\xff\x00\x00\x00\x02\x04\x84\x8f\x09\x05\x00;"sv;

TEST(Banner, DecodesAGifOnItsScreenAndPlaysOneServedHere) {
    const auto movie = win::decodeBanner(std::string(kGif));
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
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    bind(listener, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    listen(listener, 1);
    std::thread server([listener] { // answers the one request it is sent
        const SOCKET client = accept(listener, nullptr, nullptr);
        const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " +
                                  std::to_string(kGif.size()) + "\r\nConnection: close\r\n\r\n" +
                                  std::string(kGif);
        std::string request(4096, '\0');
        recv(client, request.data(), static_cast<int>(request.size()), 0);
        send(client, reply.data(), static_cast<int>(reply.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    });
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
    closesocket(listener); // a server still waiting gives up
    server.join();
    WSACleanup();
}

} // namespace
} // namespace quellix::wintest
