#pragma once

#include "platform/ports.h"

#include <map>
#include <set>
#include <string>

namespace quellix::test {

// A registry in memory with the return codes and size rules of the ANSI registry functions.
// Key paths are stored as "root\sub\key" with the root as its handle in hexadecimal; names are
// compared without regard to ASCII case, as the registry does.
class MemoryRegistry : public RegistryPort {
public:
    struct Value {
        std::uint32_t type = kRegSz;
        std::string data;
    };

    // Keys under which createKey is refused (as for a standard user under HKEY_LOCAL_MACHINE).
    std::set<RegHandle> readOnlyRoots;

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

private:
    static std::string fold(std::string text);
    static std::string keyName(RegHandle root, const std::string& path);
    long resolve(RegHandle parent, const std::string& subKey, RegHandle& root, std::string& path) const;

    std::map<std::string, std::map<std::string, Value>> keys_; // folded key name -> folded value name
    std::map<RegHandle, std::pair<RegHandle, std::string>> handles_; // open handle -> root, path
    std::set<RegHandle> readOnlyHandles_;
    RegHandle nextHandle_ = 0x1000;
};

} // namespace quellix::test
