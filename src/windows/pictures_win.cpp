#include "windows/pictures_win.h"

#include "ui/layout.h"
#include "windows/wide.h"

namespace quellix::win {

void drawTick(HDC dc, const RECT& area) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            if (layout::kTick[y][static_cast<size_t>(x)] != '#') {
                continue;
            }
            // Each pixel of the picture covers its share of the area, edges rounded alike.
            RECT cell{area.left + x * w / 10, area.top + y * h / 10, area.left + (x + 1) * w / 10,
                      area.top + (y + 1) * h / 10};
            FillRect(dc, &cell, red);
        }
    }
    DeleteObject(red);
}

IconCache::~IconCache() {
    for (auto& [key, icon] : icons_) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

HICON IconCache::icon(std::string_view name, int size) {
    auto key = std::make_pair(std::string(name), size);
    auto it = icons_.find(key);
    if (it != icons_.end()) {
        return it->second;
    }
    auto* icon = static_cast<HICON>(
        LoadImageW(instance_, widen(name).c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    icons_.emplace(std::move(key), icon);
    return icon;
}

} // namespace quellix::win
