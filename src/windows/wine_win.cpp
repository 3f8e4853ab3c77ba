#include "windows/wine_win.h"

#include "windows/wide.h"

#include <windows.h>

#include <cstring>

namespace quellix::win {
namespace {

// Wine's own exports: not in the import libraries, and absent on Windows. Both return a buffer of
// the process heap.
using UnixName = char*(__cdecl*)(const wchar_t* windowsPath);
using WindowsName = wchar_t*(__cdecl*)(const char* unixPath);

// Wine's code page of the Unix side's names, which its two functions speak.
constexpr UINT kUnixCodePage = 65010;

template <typename Function> Function wineExport(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

std::wstring environment(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

// Wine names its own folders as NT paths ("\??\Z:\home\joueur"); the Unix path they stand for.
std::string unixPath(std::wstring path) {
    const auto toUnix = wineExport<UnixName>(L"kernel32.dll", "wine_get_unix_file_name");
    if (path.starts_with(L"\\??\\")) {
        path.erase(0, 4);
    }
    char* name = toUnix == nullptr || path.empty() ? nullptr : toUnix(path.c_str());
    std::wstring wide(name == nullptr ? 0 : std::strlen(name) + 1, L'\0');
    wide.resize(name == nullptr ? 0
                                : MultiByteToWideChar(kUnixCodePage, 0, name, -1, wide.data(),
                                                      static_cast<int>(wide.size())));
    const std::string result = narrow(wide.c_str());
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

} // namespace

std::optional<WineDesktop> WindowsWine::desktop() {
    if (wineExport<FARPROC>(L"ntdll.dll", "wine_get_version") == nullptr) {
        return std::nullopt;
    }
    WineDesktop wine{unixPath(environment(L"WINECONFIGDIR")), narrow(environment(L"WINELOADER")),
                     unixPath(environment(L"WINEHOMEDIR")), narrow(environment(L"XDG_DATA_HOME")),
                     narrow(environment(L"XDG_CONFIG_HOME"))};
    if (wine.prefix.empty() || wine.loader.empty()) {
        return std::nullopt; // no way to name the prefix in an entry
    }
    return wine;
}

std::string WindowsWine::windowsPath(const std::string& unixPath) {
    const auto toWindows = wineExport<WindowsName>(L"kernel32.dll", "wine_get_dos_file_name");
    const std::wstring wide = widen(unixPath);
    std::string bytes(wide.size() * 4 + 1, '\0');
    bytes.resize(WideCharToMultiByte(kUnixCodePage, 0, wide.c_str(), -1, bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    wchar_t* name = toWindows == nullptr || bytes.empty() ? nullptr : toWindows(bytes.c_str());
    const std::string result = name == nullptr ? "" : narrow(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

} // namespace quellix::win
