#pragma once
// Registry entries written for a test in the 32-bit view, where the launcher reads and writes,
// and removed again afterwards: values that the fixture set, and keys that it created.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quellix::wintest {

struct RawValue {
    DWORD type = 0;
    std::string bytes; // as stored: UTF-16 for the string types
};

// The value as stored, read through the wide functions in the 32-bit view; nothing when missing.
std::optional<RawValue> rawValue(HKEY root, const std::string& path, const std::string& name);
// A string value's text (UTF-8), without its terminator; nothing when missing or not a string.
std::optional<std::string> textValue(HKEY root, const std::string& path, const std::string& name);
bool keyExists(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY);
// Removes the key with everything below it; true when it is gone.
bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY);

class RegistryFixture {
public:
    RegistryFixture() = default;
    RegistryFixture(const RegistryFixture&) = delete;
    RegistryFixture& operator=(const RegistryFixture&) = delete;
    ~RegistryFixture();

    // A value that must not exist yet; false when it does or cannot be written.
    bool set(HKEY root, const std::string& path, const std::string& name, DWORD type,
             const std::string& bytes, REGSAM view = KEY_WOW64_32KEY);
    bool setText(HKEY root, const std::string& path, const std::string& name,
                 const std::string& utf8, REGSAM view = KEY_WOW64_32KEY);

private:
    struct Entry {
        HKEY root;
        std::string path;
        std::string name;
        REGSAM view;
    };
    std::vector<Entry> values_;
    std::vector<Entry> createdKeys_; // in the order created: parents first
};

} // namespace quellix::wintest
