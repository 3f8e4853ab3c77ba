#pragma once
// Fetching and decoding a banner's movie away from the window's thread.

#include "windows/banner_image_win.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace quellix::win {

// One movie being fetched and decoded by a thread of its own. The thread and the window waiting
// for it share it, so that whichever of the two ends last frees it.
struct BannerLoad {
    SRWLOCK lock = SRWLOCK_INIT;
    HWND target = nullptr; // told with `message` when the movie is ready; null once nobody waits
    UINT message = 0;
    std::string address;
    bool done = false;
    std::optional<BannerMovie> movie; // nothing when not fetched or not a picture
};

// Starts the thread that fetches `address` (plain http), decodes it, then posts `message`
// (no parameters) to `target`. Null when no thread could be started.
std::shared_ptr<BannerLoad> loadInBackground(HWND target, UINT message, const std::string& address);

// Nothing is posted to the window any more (it closes, or it plays another movie).
void abandonLoad(BannerLoad& load);

// Moves the decoded movie into `movie` once the thread is done; false while it is still working.
bool takeLoadedMovie(BannerLoad& load, std::optional<BannerMovie>& movie);

} // namespace quellix::win
