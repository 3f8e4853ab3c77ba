#include "window_capture.h"

#include <objbase.h>
#include <wincodec.h>

namespace quellix::wintest {
namespace {

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

} // namespace

COLORREF Capture::at(int x, int y) const {
    const std::uint32_t p =
        pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
}

std::optional<Capture> captureWindow(HWND window, bool clientOnly) {
    RECT area;
    if (clientOnly) {
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    } else {
        GetWindowRect(window, &area);
    }
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    if (capture.width <= 0 || capture.height <= 0) {
        return std::nullopt;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap != nullptr && bits != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top,
                        SRCCOPY) != 0;
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        capture.pixels.assign(source, source + static_cast<size_t>(capture.width) *
                                                   static_cast<size_t>(capture.height));
        for (std::uint32_t& p : capture.pixels) {
            p &= 0x00ffffffu;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) {
        return std::nullopt;
    }
    return capture;
}

bool savePng(const Capture& capture, const std::wstring& path, const GUID* format) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool saved = false;
    {
        std::vector<std::uint32_t> opaque = capture.pixels;
        for (std::uint32_t& p : opaque) {
            p |= 0xff000000u;
        }
        const UINT stride = static_cast<UINT>(capture.width) * 4;
        Com<IWICImagingFactory> factory;
        Com<IWICBitmap> bitmap;
        Com<IWICStream> stream;
        Com<IWICBitmapEncoder> encoder;
        Com<IWICBitmapFrameEncode> frame;
        saved =
            SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory,
                                       reinterpret_cast<void**>(factory.out()))) &&
            SUCCEEDED(factory->CreateBitmapFromMemory(
                static_cast<UINT>(capture.width), static_cast<UINT>(capture.height),
                GUID_WICPixelFormat32bppBGRA, stride, stride * static_cast<UINT>(capture.height),
                reinterpret_cast<BYTE*>(opaque.data()), bitmap.out())) &&
            SUCCEEDED(factory->CreateStream(stream.out())) &&
            SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(format != nullptr ? *format : GUID_ContainerFormatPng,
                                             nullptr, encoder.out())) &&
            SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frame.out(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(static_cast<UINT>(capture.width),
                                     static_cast<UINT>(capture.height))) &&
            SUCCEEDED(frame->WriteSource(bitmap.p, nullptr)) && SUCCEEDED(frame->Commit()) &&
            SUCCEEDED(encoder->Commit());
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return saved;
}

} // namespace quellix::wintest
