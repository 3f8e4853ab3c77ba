#include "window_capture.h"

#include <objbase.h>
#include <wincodec.h>

namespace quellix::wintest {

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
    return captureArea(area);
}

std::optional<Capture> captureArea(const RECT& area) {
    Capture capture{area.right - area.left, area.bottom - area.top, {}};
    if (capture.width <= 0 || capture.height <= 0) {
        return std::nullopt;
    }
    capture.pixels.resize(static_cast<size_t>(capture.width) * static_cast<size_t>(capture.height));
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(info.bmiHeader), capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, capture.width, capture.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left,
                               area.top, SRCCOPY) != 0;
    SelectObject(memory, old);
    const bool read = GetDIBits(memory, bitmap, 0, static_cast<UINT>(capture.height),
                                capture.pixels.data(), &info, DIB_RGB_COLORS) == capture.height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& p : capture.pixels) {
        p &= 0x00ffffffu;
    }
    return copied && read ? std::optional(capture) : std::nullopt;
}

bool savePng(const Capture& capture, const std::wstring& path, const GUID* format) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<std::uint32_t> opaque = capture.pixels;
    for (std::uint32_t& p : opaque) {
        p |= 0xff000000u;
    }
    const auto w = static_cast<UINT>(capture.width), h = static_cast<UINT>(capture.height);
    IWICImagingFactory* factory = nullptr;
    IWICBitmap* bitmap = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    const bool saved =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateBitmapFromMemory(w, h, GUID_WICPixelFormat32bppBGRA, w * 4,
                                                  w * 4 * h, reinterpret_cast<BYTE*>(opaque.data()),
                                                  &bitmap)) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(format != nullptr ? *format : GUID_ContainerFormatPng,
                                         nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(w, h)) &&
        SUCCEEDED(frame->WriteSource(bitmap, nullptr)) && SUCCEEDED(frame->Commit()) &&
        SUCCEEDED(encoder->Commit());
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{frame, encoder, stream, bitmap, factory}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return saved;
}

} // namespace quellix::wintest
