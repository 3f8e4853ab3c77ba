#pragma once
// The banner control: a movie address that can be set and a play command. The banner shows a
// banner of its own; play fetches the address in the background, and the picture or animation
// found there then takes its place (the banner's own stays when the content is not a picture or
// could not be fetched). Nothing about a banner is ever reported.

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
