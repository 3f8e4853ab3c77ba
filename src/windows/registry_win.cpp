#include "windows/registry_win.h"

#include "windows/wide.h"

#include <windows.h>

#include <limits>

namespace quellix::win {

namespace {

// The port names the predefined roots by their 32-bit values; as HKEYs they are sign-extended
// pointers, so they are mapped by name rather than cast.
HKEY toHkey(RegHandle handle) {
    switch (handle) {
    case 0x80000000u:
        return HKEY_CLASSES_ROOT;
    case 0x80000001u:
        return HKEY_CURRENT_USER;
    case 0x80000002u:
        return HKEY_LOCAL_MACHINE;
    case 0x80000003u:
        return HKEY_USERS;
    case 0x80000004u:
        return HKEY_PERFORMANCE_DATA;
    case 0x80000005u:
        return HKEY_CURRENT_CONFIG;
    case 0x80000006u:
        return HKEY_DYN_DATA;
    default:
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(handle));
    }
}

RegHandle fromHkey(HKEY key) {
    return static_cast<RegHandle>(reinterpret_cast<ULONG_PTR>(key));
}

// A 32-bit program on 64-bit Windows must ask for the 64-bit view; 32-bit Windows ignores the flag.
REGSAM viewFlag(RegView view) {
    return view == RegView::Installers ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

bool isPredefined(RegHandle handle) {
    return handle >= 0x80000000u && handle <= 0x80000006u;
}

} // namespace

long WindowsRegistry::createKey(RegHandle parent, const std::string& subKey, RegView view,
                                RegHandle& key) {
    HKEY opened = nullptr;
    LONG status =
        RegCreateKeyExA(toHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE | viewFlag(view), nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS) {
        key = fromHkey(opened);
    }
    return status;
}

long WindowsRegistry::openKey(RegHandle parent, const std::string& subKey, RegView view,
                              RegAccess access, RegHandle& key) {
    REGSAM rights = access == RegAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
    HKEY opened = nullptr;
    LONG status =
        RegOpenKeyExA(toHkey(parent), subKey.c_str(), 0, rights | viewFlag(view), &opened);
    if (status == ERROR_SUCCESS) {
        key = fromHkey(opened);
    }
    return status;
}

long WindowsRegistry::setValue(RegHandle key, const std::string& name, std::uint32_t type,
                               std::string_view data) {
    if (data.size() > std::numeric_limits<DWORD>::max()) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegSetValueExA(toHkey(key), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

long WindowsRegistry::queryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                 char* data, std::uint32_t* size) {
    DWORD valueType = type != nullptr ? *type : 0;
    DWORD byteCount = size != nullptr ? *size : 0;
    LONG status =
        RegQueryValueExA(toHkey(key), name.c_str(), nullptr, type != nullptr ? &valueType : nullptr,
                         reinterpret_cast<BYTE*>(data), size != nullptr ? &byteCount : nullptr);
    if (type != nullptr) {
        *type = valueType;
    }
    if (size != nullptr) {
        *size = byteCount;
    }
    return status;
}

long WindowsRegistry::setUnicodeText(RegHandle key, const std::string& name,
                                     std::string_view text) {
    const std::wstring wide = widen(text);
    if (wide.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t)) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegSetValueExW(toHkey(key), widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

long WindowsRegistry::deleteValue(RegHandle key, const std::string& name) {
    return RegDeleteValueA(toHkey(key), name.c_str());
}

void WindowsRegistry::closeKey(RegHandle key) {
    // The predefined roots are not ours to close.
    if (key != 0 && !isPredefined(key)) {
        RegCloseKey(toHkey(key));
    }
}

} // namespace quellix::win
