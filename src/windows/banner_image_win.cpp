#include "windows/banner_image_win.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quellix::win {
namespace {

// Bounds that keep a hostile or broken file from exhausting memory.
constexpr UINT kMaxSide = 4096;
constexpr size_t kMaxFrames = 1000;
// All frames kept together: 64 MiB of pixels. A small file may describe a large animation.
constexpr size_t kMaxTotalPixels = size_t{16} << 20;
// All frames decoded together, whatever their canvas, counted before decoding: a thousand
// frames of a banner's size fit. The banner comes over plain HTTP, so anyone on the way may hand
// us a tiny file declaring huge frames; beyond this it is not decoded at all.
constexpr std::uint64_t kMaxDecodedPixels = std::uint64_t{64} << 20;
constexpr UINT kDefaultDelayMs = 100;

template <typename T> struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

struct ComApartment {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
};

// An unsigned number of the metadata at `query`, or `fallback`.
UINT metadataNumber(IWICMetadataQueryReader* reader, const wchar_t* query, UINT fallback) {
    if (reader == nullptr) {
        return fallback;
    }
    PROPVARIANT value;
    PropVariantInit(&value);
    UINT result = fallback;
    if (SUCCEEDED(reader->GetMetadataByName(query, &value))) {
        if (value.vt == VT_UI1) {
            result = value.bVal;
        } else if (value.vt == VT_UI2) {
            result = value.uiVal;
        } else if (value.vt == VT_UI4) {
            result = value.ulVal;
        }
    }
    PropVariantClear(&value);
    return result;
}

using Pixels = std::vector<std::uint32_t>; // premultiplied BGRA, top-down

// Lays `frame` (premultiplied BGRA of `w` x `h`) over `canvas` at `left`, `top`.
void layOver(Pixels& canvas, SIZE size, const Pixels& frame, UINT w, UINT h, UINT left, UINT top) {
    for (UINT y = 0; y < h && top + y < static_cast<UINT>(size.cy); ++y) {
        for (UINT x = 0; x < w && left + x < static_cast<UINT>(size.cx); ++x) {
            const std::uint32_t source = frame[size_t{y} * w + x];
            std::uint32_t& target = canvas[size_t{top + y} * static_cast<UINT>(size.cx) + left + x];
            const std::uint32_t alpha = source >> 24;
            if (alpha == 255) {
                target = source;
            } else if (alpha != 0) {
                std::uint32_t blended = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const std::uint32_t s = (source >> shift) & 0xff;
                    const std::uint32_t t = (target >> shift) & 0xff;
                    blended |= std::min<std::uint32_t>(255, s + t * (255 - alpha) / 255) << shift;
                }
                target = blended;
            }
        }
    }
}

void clearRect(Pixels& canvas, SIZE size, UINT w, UINT h, UINT left, UINT top) {
    for (UINT y = top; y < top + h && y < static_cast<UINT>(size.cy); ++y) {
        for (UINT x = left; x < left + w && x < static_cast<UINT>(size.cx); ++x) {
            canvas[size_t{y} * static_cast<UINT>(size.cx) + x] = 0;
        }
    }
}

// The canvas laid on black, as a bitmap the window can stretch.
HBITMAP toBitmap(const Pixels& canvas, SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        return nullptr;
    }
    // Premultiplied colour over black is the colour itself; the ground is opaque.
    auto* out = static_cast<std::uint32_t*>(bits);
    for (size_t i = 0; i < canvas.size(); ++i) {
        out[i] = canvas[i] | 0xff000000u;
    }
    return bitmap;
}

unsigned byteAt(std::string_view bytes, size_t at) {
    return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0;
}

unsigned littleEndian16(std::string_view bytes, size_t at) {
    return byteAt(bytes, at) | byteAt(bytes, at + 1) << 8;
}

unsigned bigEndian16(std::string_view bytes, size_t at) {
    return byteAt(bytes, at) << 8 | byteAt(bytes, at + 1);
}

size_t gifColourTable(unsigned flags) {
    return (flags & 0x80) != 0 ? size_t{3} << ((flags & 7) + 1) : 0;
}

// The pixels of all the pictures of a GIF, from their descriptors.
std::uint64_t gifPixels(std::string_view bytes) {
    std::uint64_t total = 0;
    size_t at = 13 + gifColourTable(byteAt(bytes, 10));
    while (at < bytes.size()) {
        if (byteAt(bytes, at) == 0x2c) { // a picture, its colours, its code size, its data
            total += std::uint64_t{littleEndian16(bytes, at + 5)} * littleEndian16(bytes, at + 7);
            at += 11 + gifColourTable(byteAt(bytes, at + 9));
        } else if (byteAt(bytes, at) == 0x21) { // an extension and its data
            at += 2;
        } else {
            break; // the end, or not a GIF block: decoders stop there too
        }
        while (at < bytes.size() && byteAt(bytes, at) != 0) {
            at += 1 + byteAt(bytes, at);
        }
        ++at;
    }
    return total;
}

// The pixels of a JPEG, from its frame header.
std::optional<std::uint64_t> jpegPixels(std::string_view bytes) {
    for (size_t at = 2; at + 9 <= bytes.size() && byteAt(bytes, at) == 0xff;) {
        const unsigned marker = byteAt(bytes, at + 1);
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
            marker != 0xcc) {
            return std::uint64_t{bigEndian16(bytes, at + 5)} * bigEndian16(bytes, at + 7);
        }
        if (marker == 0xda) {
            break; // picture data before any frame header
        }
        at += marker == 0xff ? 1 : 2 + bigEndian16(bytes, at + 2);
    }
    return std::nullopt;
}

// One frame's pixels, when they fit in what is left of `budget` (pixels yet to decode).
bool readFrame(IWICBitmapFrameDecode* frame, Pixels& pixels, UINT& w, UINT& h,
               std::uint64_t& budget) {
    Com<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame, converted.out())) ||
        FAILED(converted->GetSize(&w, &h)) || w == 0 || h == 0 || w > kMaxSide || h > kMaxSide ||
        std::uint64_t{w} * h > budget) {
        return false;
    }
    budget -= std::uint64_t{w} * h;
    pixels.assign(size_t{w} * h, 0);
    return SUCCEEDED(converted->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                           reinterpret_cast<BYTE*>(pixels.data())));
}

} // namespace

// Read before any decoder sees the file: some decoders unpack every frame as they open a file.
std::optional<std::uint64_t> declaredPixels(std::string_view bytes) {
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) {
        return gifPixels(bytes);
    }
    if (bytes.size() >= 24 && bytes.starts_with("\x89PNG\r\n\x1a\n") &&
        bytes.substr(12, 4) == "IHDR") {
        return std::uint64_t{bigEndian16(bytes, 16) << 16 | bigEndian16(bytes, 18)} *
               (bigEndian16(bytes, 20) << 16 | bigEndian16(bytes, 22));
    }
    if (bytes.starts_with("\xff\xd8\xff")) {
        return jpegPixels(bytes);
    }
    return std::nullopt;
}

BannerMovie::BannerMovie(BannerMovie&& other) noexcept
    : canvas(other.canvas), frames(std::move(other.frames)) {
    other.frames.clear();
}

BannerMovie& BannerMovie::operator=(BannerMovie&& other) noexcept {
    if (this != &other) {
        release();
        canvas = other.canvas;
        frames = std::move(other.frames);
        other.frames.clear();
    }
    return *this;
}

BannerMovie::~BannerMovie() {
    release();
}

void BannerMovie::release() {
    for (BannerFrame& frame : frames) {
        if (frame.bitmap != nullptr) {
            DeleteObject(frame.bitmap);
        }
    }
    frames.clear();
}

std::optional<BannerMovie> decodeBanner(const std::string& bytes) {
    std::optional<std::uint64_t> declared = declaredPixels(bytes);
    if (!declared || *declared > kMaxDecodedPixels || bytes.size() > 0xffffffffu) {
        return std::nullopt;
    }
    std::uint64_t budget = kMaxDecodedPixels;
    ComApartment apartment;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    GUID format{};
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))) ||
        FAILED(factory->CreateStream(stream.out())) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.out())) ||
        FAILED(decoder->GetContainerFormat(&format))) {
        return std::nullopt;
    }
    const bool gif = IsEqualGUID(format, GUID_ContainerFormatGif);
    if (!gif && !IsEqualGUID(format, GUID_ContainerFormatPng) &&
        !IsEqualGUID(format, GUID_ContainerFormatJpeg)) {
        return std::nullopt;
    }
    UINT count = 0;
    if (FAILED(decoder->GetFrameCount(&count)) || count == 0) {
        return std::nullopt;
    }
    count = std::min<UINT>(count, static_cast<UINT>(gif ? kMaxFrames : 1));

    BannerMovie movie;
    Com<IWICMetadataQueryReader> fileMetadata;
    if (gif) {
        decoder->GetMetadataQueryReader(fileMetadata.out());
    }
    Pixels canvas;
    Pixels beforeFrame;
    UINT previousDisposal = 0;
    UINT previousW = 0, previousH = 0, previousLeft = 0, previousTop = 0;
    for (UINT index = 0; index < count; ++index) {
        Com<IWICBitmapFrameDecode> frame;
        Pixels pixels;
        UINT w = 0, h = 0;
        if (FAILED(decoder->GetFrame(index, frame.out())) ||
            !readFrame(frame.p, pixels, w, h, budget)) {
            if (budget < std::uint64_t{w} * h) {
                return std::nullopt; // more work than its headers said
            }
            break;
        }
        Com<IWICMetadataQueryReader> metadata;
        if (gif) {
            frame->GetMetadataQueryReader(metadata.out());
        }
        if (index == 0) {
            movie.canvas = {
                static_cast<LONG>(metadataNumber(fileMetadata.p, L"/logscrdesc/Width", w)),
                static_cast<LONG>(metadataNumber(fileMetadata.p, L"/logscrdesc/Height", h))};
            if (movie.canvas.cx <= 0 || movie.canvas.cy <= 0 ||
                movie.canvas.cx > static_cast<LONG>(kMaxSide) ||
                movie.canvas.cy > static_cast<LONG>(kMaxSide)) {
                movie.canvas = {static_cast<LONG>(w), static_cast<LONG>(h)};
            }
            canvas.assign(
                static_cast<size_t>(movie.canvas.cx) * static_cast<size_t>(movie.canvas.cy), 0);
        } else if (previousDisposal == 2) {
            clearRect(canvas, movie.canvas, previousW, previousH, previousLeft, previousTop);
        } else if (previousDisposal == 3) {
            canvas = beforeFrame;
        }
        const UINT left = metadataNumber(metadata.p, L"/imgdesc/Left", 0);
        const UINT top = metadataNumber(metadata.p, L"/imgdesc/Top", 0);
        const UINT disposal = metadataNumber(metadata.p, L"/grctlext/Disposal", 0);
        if (disposal == 3) {
            beforeFrame = canvas;
        }
        layOver(canvas, movie.canvas, pixels, w, h, left, top);
        // Delays under 20 ms are the common "as fast as possible", shown as browsers show them.
        UINT delay = metadataNumber(metadata.p, L"/grctlext/Delay", 0) * 10;
        if (count > 1 && delay < 20) {
            delay = kDefaultDelayMs;
        }
        if ((movie.frames.size() + 1) * canvas.size() > kMaxTotalPixels) {
            break; // the frames so far play on their own
        }
        HBITMAP bitmap = toBitmap(canvas, movie.canvas);
        if (bitmap == nullptr) {
            break;
        }
        movie.frames.push_back({bitmap, count > 1 ? delay : 0});
        previousDisposal = disposal;
        previousW = w;
        previousH = h;
        previousLeft = left;
        previousTop = top;
    }
    if (movie.frames.empty()) {
        return std::nullopt;
    }
    if (movie.frames.size() == 1) {
        movie.frames[0].delayMs = 0;
    }
    return movie;
}

} // namespace quellix::win
