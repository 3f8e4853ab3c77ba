#pragma once
// The files port over the wide file functions of Windows.

#include "ports.h"

namespace quellix::win {

// ReplaceFileW(replaced, replacement, no backup, ignoring merge errors) as the port calls it:
// 0 when done, else the error code. Tests give their own to bring about each outcome.
using ReplaceCall = unsigned long (*)(const wchar_t* replaced, const wchar_t* replacement);
unsigned long systemReplace(const wchar_t* replaced, const wchar_t* replacement);

class WindowsFiles : public FilesPort {
public:
    explicit WindowsFiles(ReplaceCall replace = systemReplace) : replace_(replace) {}

    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool isReadOnly(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeNewFile(const std::string& path, std::string_view bytes) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;
    bool createFolders(const std::string& path) override;

private:
    ReplaceCall replace_;
};

} // namespace quellix::win
