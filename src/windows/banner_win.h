#pragma once
// The banner control: a movie address that can be set and a play command. Play fetches and
// decodes the address in the background; the banner then shows the picture or animation it
// found, or a banner of its own when the content is not a picture, could not be fetched or is
// too much work to decode. Nothing about a banner is ever reported.

#include <windows.h>

#include <string>

namespace quellix::win {

inline constexpr const wchar_t* kBannerClass = L"QuellixBanner";

enum class BannerShows { Nothing, Fetching, Movie, OwnBanner };

void registerBannerClass(HINSTANCE instance);

void setBannerMovie(HWND banner, const std::string& address);
void playBanner(HWND banner);

// What the banner shows now, and how many pictures its movie has (0 for its own banner).
BannerShows bannerShows(HWND banner);
int bannerFrameCount(HWND banner);

} // namespace quellix::win
