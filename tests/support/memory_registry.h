#pragma once

#include "platform/ports.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace quellix::test {

// A registry in memory with the return codes and size rules of the ANSI registry functions.
// Key paths are stored as "root\sub\key" with the root as its handle in decimal; names are
// compared without regard to ASCII case, as the registry does. A root key always exists.
class MemoryRegistry : public RegistryPort {
public:
    struct Value {
        std::uint32_t type = kRegSz;
        std::string data;
    };
    struct Write {
        RegHandle root;
        std::string path;
        std::string name;
        bool operator==(const Write&) const = default;
    };

    // Roots under which a missing key cannot be created and no key opened for writing (as for a
    // standard user under HKEY_LOCAL_MACHINE).
    std::set<RegHandle> readOnlyRoots;
    // Every value written through setValue, in order.
    std::vector<Write> writes;

    // Every open or creation of exactly this key is refused, as for a key whose rights deny it.
    void lock(RegHandle root, const std::string& path);

    long createKey(RegHandle parent, const std::string& subKey, RegHandle& key) override;
    long openKey(RegHandle parent, const std::string& subKey, RegAccess access,
                 RegHandle& key) override;
    long setValue(RegHandle key, const std::string& name, std::uint32_t type,
                  std::string_view data) override;
    long queryValue(RegHandle key, const std::string& name, std::uint32_t* type, char* data,
                    std::uint32_t* size) override;
    long deleteValue(RegHandle key, const std::string& name) override;
    void closeKey(RegHandle key) override;

    // Test access, by root handle and path.
    bool keyExists(RegHandle root, const std::string& path) const;
    void put(RegHandle root, const std::string& path, const std::string& name, Value value);
    const Value* find(RegHandle root, const std::string& path, const std::string& name) const;
    size_t openHandles() const { return handles_.size(); }
    size_t keyCount() const { return keys_.size(); }

    // As the ANSI functions may do for strings stored in UTF-16: a query whose buffer is too small
    // reports twice the size that the data needs; a query with room enough reports the exact size.
    bool overstateSizeQueries = false;

private:
    static std::string fold(std::string text);
    static std::string keyName(RegHandle root, const std::string& path);
    long resolve(RegHandle parent, const std::string& subKey, RegHandle& root,
                 std::string& path) const;
    void addKey(RegHandle root, const std::string& path);
    RegHandle newHandle(RegHandle root, const std::string& path, bool readOnly);

    std::map<std::string, std::map<std::string, Value>>
        keys_; // folded key name -> folded value name
    std::map<RegHandle, std::pair<RegHandle, std::string>> handles_; // open handle -> root, path
    std::set<RegHandle> readOnlyHandles_;                            // opened for reading only
    std::set<std::string> locked_;                                   // folded key names
    RegHandle nextHandle_ = 0x1000;
};

} // namespace quellix::test
