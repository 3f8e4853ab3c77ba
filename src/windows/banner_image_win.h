#pragma once
// Decoding a banner's movie when it is a picture the system can read: GIF (with its animation),
// PNG or JPEG. Anything else (a Flash movie) is not a picture.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::win {

// One picture of the animation, already laid on the banner's black ground.
struct BannerFrame {
    HBITMAP bitmap = nullptr; // 32-bit top-down DIB of the canvas size
    UINT delayMs = 0;         // how long it stays; 0 for a still picture
};

class BannerMovie {
public:
    BannerMovie() = default;
    BannerMovie(BannerMovie&& other) noexcept;
    BannerMovie& operator=(BannerMovie&& other) noexcept;
    BannerMovie(const BannerMovie&) = delete;
    BannerMovie& operator=(const BannerMovie&) = delete;
    ~BannerMovie();

    SIZE canvas{0, 0};
    std::vector<BannerFrame> frames;

private:
    void release();
};

// The pixels that decoding `bytes` would produce, read from the file's own headers; nothing for a
// file that is not a GIF, PNG or JPEG.
std::optional<std::uint64_t> declaredPixels(std::string_view bytes);

// The frames of a GIF, PNG or JPEG file; nothing for any other content or a broken file.
std::optional<BannerMovie> decodeBanner(const std::string& bytes);

} // namespace quellix::win
