#pragma once
// The files port over the wide file functions of Windows.

#include "ports.h"

namespace quellix::win {

class WindowsFiles : public FilesPort {
public:
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool isReadOnly(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeNewFile(const std::string& path, std::string_view bytes) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;
};

} // namespace quellix::win
