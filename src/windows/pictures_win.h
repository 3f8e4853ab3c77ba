#pragma once
// The window's pictures: the presence tick, drawn from its pixel table at any size, and the game
// icons, taken from the program's resources at the size asked.

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace quellix::win {

// The tick's red pixels scaled to `area`; the rest of `area` is left as it is (transparent).
void drawTick(HDC dc, const RECT& area);

// Game icons by resource name, loaded once per size and freed with the cache.
class IconCache {
public:
    explicit IconCache(HINSTANCE instance) : instance_(instance) {}
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;
    ~IconCache();

    // The icon `name` at `size` x `size` pixels, or null when the program has none of that name.
    HICON icon(std::string_view name, int size);

private:
    HINSTANCE instance_;
    std::map<std::pair<std::string, int>, HICON> icons_;
};

} // namespace quellix::win
