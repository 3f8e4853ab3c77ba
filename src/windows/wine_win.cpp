#include "windows/wine_win.h"

#include "windows/wide.h"

#include <windows.h>

namespace quellix::win {
namespace {

// Wine's own exports: not in the import libraries, and absent on Windows. Both return a buffer of
// the process heap.
using UnixName = char*(__cdecl*)(const wchar_t* windowsPath);
using WindowsName = wchar_t*(__cdecl*)(const char* unixPath);

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
    const std::string result = name == nullptr ? "" : name;
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
    wchar_t* name = toWindows == nullptr ? nullptr : toWindows(unixPath.c_str());
    const std::string result = name == nullptr ? "" : narrow(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

} // namespace quellix::win
