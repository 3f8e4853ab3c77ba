#include "windows/banner_win.h"

#include "windows/banner_fetch_win.h"
#include "windows/banner_image_win.h"
#include "windows/dpi_win.h"
#include "windows/wide.h"

#include <memory>
#include <optional>

namespace quellix::win {
namespace {

constexpr UINT kSetMovie = WM_USER + 1; // lParam: const std::string*
constexpr UINT kPlay = WM_USER + 2;
constexpr UINT kQueryShows = WM_USER + 3;
constexpr UINT kQueryFrames = WM_USER + 4;
constexpr UINT kLoaded = WM_APP + 1; // the movie being loaded is ready
constexpr UINT_PTR kFrameTimer = 1;

struct Banner {
    HWND window = nullptr;
    std::string movie;
    std::shared_ptr<BannerLoad> load; // the movie being fetched and decoded for the last play
    BannerShows shows = BannerShows::Nothing;
    std::optional<BannerMovie> picture;
    size_t frame = 0;
};

Banner* bannerOf(HWND window) {
    return reinterpret_cast<Banner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void startFrameTimer(Banner& banner) {
    KillTimer(banner.window, kFrameTimer);
    if (banner.picture && banner.picture->frames.size() > 1) {
        SetTimer(banner.window, kFrameTimer, banner.picture->frames[banner.frame].delayMs, nullptr);
    }
}

// The load under way, if any, no longer answers this banner.
void stopWaiting(Banner& banner) {
    if (banner.load) {
        abandonLoad(*banner.load);
        banner.load.reset();
    }
}

void onPlay(Banner& banner) {
    stopWaiting(banner);
    banner.picture.reset();
    banner.frame = 0;
    KillTimer(banner.window, kFrameTimer);
    banner.load = loadInBackground(banner.window, kLoaded, banner.movie);
    banner.shows = banner.load ? BannerShows::Fetching : BannerShows::OwnBanner;
    InvalidateRect(banner.window, nullptr, FALSE);
}

void onLoaded(Banner& banner) {
    if (!banner.load || !takeLoadedMovie(*banner.load, banner.picture)) {
        return; // an earlier play's answer
    }
    banner.load.reset();
    banner.shows = banner.picture ? BannerShows::Movie : BannerShows::OwnBanner;
    banner.frame = 0;
    startFrameTimer(banner);
    InvalidateRect(banner.window, nullptr, FALSE);
}

void onFrameTimer(Banner& banner) {
    if (!banner.picture || banner.picture->frames.size() < 2) {
        KillTimer(banner.window, kFrameTimer);
        return;
    }
    banner.frame = (banner.frame + 1) % banner.picture->frames.size();
    startFrameTimer(banner);
    InvalidateRect(banner.window, nullptr, FALSE);
}

HFONT bannerFont(int dpi, int points, int weight) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = weight;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcscpy_s(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

// The banner drawn by the program: the platform's name and a line of its own.
void drawOwnBanner(HDC dc, const RECT& area, int dpi) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    // A dark ground lit from the top, in a few bands.
    for (int band = 0; band < 16; ++band) {
        RECT strip{area.left, area.top + h * band / 16, area.right, area.top + h * (band + 1) / 16};
        const int light = 64 - band * 4;
        HBRUSH brush = CreateSolidBrush(RGB(light / 3, light / 2, light));
        FillRect(dc, &strip, brush);
        DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);

    HFONT title = bannerFont(dpi, 26, FW_BOLD);
    HFONT line = bannerFont(dpi, 9, FW_NORMAL);
    HGDIOBJ old = SelectObject(dc, title);
    RECT titleArea{area.left, area.top + h / 4, area.right, area.top + h / 2 + h / 12};
    SetTextColor(dc, RGB(255, 170, 0));
    DrawTextW(dc, L"Vorbanix", -1, &titleArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    RECT rule{area.left + w / 6, area.top + h / 2 + h / 10, area.right - w / 6, 0};
    rule.bottom = rule.top + std::max(1, MulDiv(2, dpi, 96));
    HBRUSH ruleBrush = CreateSolidBrush(RGB(192, 0, 0));
    FillRect(dc, &rule, ruleBrush);
    DeleteObject(ruleBrush);

    SelectObject(dc, line);
    SetTextColor(dc, RGB(230, 230, 230));
    RECT lineArea{area.left + w / 12, rule.bottom + h / 20, area.right - w / 12, area.bottom};
    DrawTextW(dc, L"Retrouvez vos partenaires de jeu en ligne", -1, &lineArea,
              DT_CENTER | DT_TOP | DT_WORDBREAK);
    SelectObject(dc, old);
    DeleteObject(title);
    DeleteObject(line);
}

// The movie scaled to show all of it, centred on black, as the old player's "ShowAll".
void drawMovie(HDC dc, const RECT& area, const BannerMovie& movie, size_t frame) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const LONG cw = movie.canvas.cx;
    const LONG ch = movie.canvas.cy;
    int outW = w;
    int outH = static_cast<int>(static_cast<long long>(ch) * w / cw);
    if (outH > h) {
        outH = h;
        outW = static_cast<int>(static_cast<long long>(cw) * h / ch);
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, movie.frames[frame].bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, area.left + (w - outW) / 2, area.top + (h - outH) / 2, outW, outH, source, 0, 0,
               cw, ch, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void onPaint(Banner& banner) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(banner.window, &paint);
    RECT client;
    GetClientRect(banner.window, &client);
    // Drawn off screen first so that an animation does not flicker.
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP surface =
        CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
    HGDIOBJ old = SelectObject(buffer, surface);
    // Until a movie is ready, and instead of one that cannot be shown, the banner is drawn.
    if (banner.shows == BannerShows::Movie && banner.picture) {
        drawMovie(buffer, client, *banner.picture, banner.frame);
    } else {
        drawOwnBanner(buffer, client, windowDpi(banner.window));
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, old);
    DeleteObject(surface);
    DeleteDC(buffer);
    EndPaint(banner.window, &paint);
}

LRESULT CALLBACK bannerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto banner = std::make_unique<Banner>();
        banner->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(banner.release()));
    }
    Banner* banner = bannerOf(window);
    if (banner == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case kSetMovie:
        banner->movie = *reinterpret_cast<const std::string*>(lParam);
        return 0;
    case kPlay:
        onPlay(*banner);
        return 0;
    case kQueryShows:
        return static_cast<LRESULT>(banner->shows);
    case kQueryFrames:
        return banner->picture ? static_cast<LRESULT>(banner->picture->frames.size()) : 0;
    case kLoaded:
        onLoaded(*banner);
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimer) {
            onFrameTimer(*banner);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        onPaint(*banner);
        return 0;
    case WM_NCDESTROY:
        KillTimer(window, kFrameTimer);
        stopWaiting(*banner);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete banner;
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void registerBannerClass(HINSTANCE instance) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = bannerProc;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = kBannerClass;
    RegisterClassExW(&type);
}

void setBannerMovie(HWND banner, const std::string& address) {
    SendMessageW(banner, kSetMovie, 0, reinterpret_cast<LPARAM>(&address));
}

void playBanner(HWND banner) {
    SendMessageW(banner, kPlay, 0, 0);
}

BannerShows bannerShows(HWND banner) {
    return static_cast<BannerShows>(SendMessageW(banner, kQueryShows, 0, 0));
}

int bannerFrameCount(HWND banner) {
    return static_cast<int>(SendMessageW(banner, kQueryFrames, 0, 0));
}

} // namespace quellix::win
