#pragma once

#include "ports.h"

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quellix::test {

// A registry in memory with the return codes and size rules of the ANSI registry functions. Keys
// are opened from a predefined root; names are compared without regard to ASCII case. The two
// views are kept apart, as on 64-bit Windows; test access defaults to the installers' view.
class MemoryRegistry : public RegistryPort {
public:
    struct Value {
        std::uint32_t type = kRegSz;
        std::string data;     // ANSI bytes, or UTF-8 when written in Unicode
        bool unicode = false; // written through setUnicodeText
    };

    // Roots where no key can be created or opened for writing (a standard user's HKLM).
    std::set<RegHandle> readOnlyRoots;
    // Every value written through setValue, in order: root, key path, value name.
    std::vector<std::tuple<RegHandle, std::string, std::string>> writes;
    // As the ANSI functions may do for strings stored in UTF-16: a query whose buffer is too small
    // reports twice the size that the data needs.
    bool overstateSizeQueries = false;

    long createKey(RegHandle parent, const std::string& subKey, RegView view,
                   RegHandle& key) override {
        return open(parent, subKey, view, true, true, key);
    }
    long openKey(RegHandle parent, const std::string& subKey, RegView view, RegAccess access,
                 RegHandle& key) override {
        return open(parent, subKey, view, false, access == RegAccess::ReadWrite, key);
    }
    long setValue(RegHandle key, const std::string& name, std::uint32_t type,
                  std::string_view data) override;
    long queryValue(RegHandle key, const std::string& name, std::uint32_t* type, char* data,
                    std::uint32_t* size) override;
    long setUnicodeText(RegHandle key, const std::string& name, std::string_view text) override;
    long deleteValue(RegHandle key, const std::string& name) override;
    void closeKey(RegHandle key) override { handles_.erase(key); }

    // Test access. put() creates the key and its parents, whatever the read-only roots say.
    bool keyExists(RegHandle root, const std::string& path,
                   RegView view = RegView::Installers) const;
    void put(RegHandle root, const std::string& path, const std::string& name, Value value,
             RegView view = RegView::Installers);
    const Value* find(RegHandle root, const std::string& path, const std::string& name,
                      RegView view = RegView::Installers) const;
    size_t openHandles() const { return handles_.size(); }
    size_t keyCount() const { return keys_.size(); }

private:
    struct Opened {
        RegHandle root;
        std::string path;
        RegView view;
        bool writable;
    };
    // Opens the key of a predefined root, creating it and its parents when `create` is set.
    long open(RegHandle root, const std::string& path, RegView view, bool create, bool writable,
              RegHandle& key);
    void addKey(RegHandle root, const std::string& path, RegView view);
    long store(RegHandle key, const std::string& name, Value value);

    std::map<std::string, std::map<std::string, Value>> keys_; // folded key -> folded value name
    std::map<RegHandle, Opened> handles_;
    RegHandle nextHandle_ = 0x1000;
};

} // namespace quellix::test
