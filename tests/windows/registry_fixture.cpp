#include "registry_fixture.h"

#include "platform/windows/wide.h"

namespace quellix::wintest {

using win::narrow;
using win::widen;

std::optional<RawValue> rawValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value;
    DWORD size = 0;
    std::wstring wideName = widen(name);
    LONG status = RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> textValue(HKEY root, const std::string& path, const std::string& name) {
    std::optional<RawValue> value = rawValue(root, path, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring text(value->bytes.size() / sizeof(wchar_t), L'\0');
    value->bytes.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return narrow(text);
}

bool keyExists(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(path).c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(root, widen(path).c_str(), view, 0);
    }
    return !keyExists(root, path, view);
}

RegistryFixture::~RegistryFixture() {
    for (const Entry& value : values_) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(value.root, widen(value.path).c_str(), 0, KEY_SET_VALUE | value.view,
                          &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, widen(value.name).c_str());
            RegCloseKey(key);
        }
    }
    for (auto key = createdKeys_.rbegin(); key != createdKeys_.rend(); ++key) {
        deleteKeyTree(key->root, key->path, key->view);
    }
}

bool RegistryFixture::set(HKEY root, const std::string& path, const std::string& name, DWORD type,
                          const std::string& bytes, REGSAM view) {
    // Remember the keys that do not exist yet, parents first, so that only they are removed.
    for (size_t slash = path.find('\\');; slash = path.find('\\', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (!keyExists(root, prefix, view)) {
            createdKeys_.push_back({root, prefix, "", view});
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    std::wstring wideName = widen(name);
    bool fresh = RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                 ERROR_FILE_NOT_FOUND;
    bool written = fresh && RegSetValueExW(key, wideName.c_str(), 0, type,
                                           reinterpret_cast<const BYTE*>(bytes.data()),
                                           static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (written) {
        values_.push_back({root, path, name, view});
    }
    return written;
}

bool RegistryFixture::setText(HKEY root, const std::string& path, const std::string& name,
                              const std::string& utf8, REGSAM view) {
    std::wstring text = widen(utf8);
    text.push_back(L'\0');
    return set(root, path, name, REG_SZ,
               std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2), view);
}

} // namespace quellix::wintest
