#pragma once

#include "ports.h"

namespace quellix::win {

class WindowsProcess : public ProcessPort {
public:
    std::string programFolder() override;
    std::string commandLine() override;
    bool setCurrentFolder(const std::string& folder) override;
    bool startMinimized(const std::string& executable, const std::string& commandLine) override;
    std::uint32_t processId() override;
};

} // namespace quellix::win
