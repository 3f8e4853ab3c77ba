#pragma once
// The registry port over the ANSI registry functions. The view is asked for explicitly, so that
// both builds reach the same entries.

#include "ports.h"

namespace quellix::win {

class WindowsRegistry : public RegistryPort {
public:
    long createKey(RegHandle parent, const std::string& subKey, RegView view,
                   RegHandle& key) override;
    long openKey(RegHandle parent, const std::string& subKey, RegView view, RegAccess access,
                 RegHandle& key) override;
    long setValue(RegHandle key, const std::string& name, std::uint32_t type,
                  std::string_view data) override;
    long queryValue(RegHandle key, const std::string& name, std::uint32_t* type, char* data,
                    std::uint32_t* size) override;
    long setUnicodeText(RegHandle key, const std::string& name, std::string_view text) override;
    long deleteValue(RegHandle key, const std::string& name) override;
    void closeKey(RegHandle key) override;
};

} // namespace quellix::win
