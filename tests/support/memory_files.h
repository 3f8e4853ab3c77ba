#pragma once

#include "ports.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quellix::test {

// Files and folders in memory, with switches that make each operation fail.
class MemoryFiles : public FilesPort {
public:
    struct File {
        std::string bytes;
        bool readOnly = false;
        bool hidden = false;
    };

    std::map<std::string, File> files;
    std::set<std::string> folders;
    bool failCreate = false;
    bool failRead = false;
    bool failWriteNewFile = false;
    bool failReplace = false;
    // Every path that writeNewFile was asked to write, in order.
    std::vector<std::string> writes;

    bool fileExists(const std::string& path) override { return files.contains(path); }
    bool folderExists(const std::string& path) override { return folders.contains(path); }
    bool isReadOnly(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeNewFile(const std::string& path, std::string_view bytes) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;
};

} // namespace quellix::test
