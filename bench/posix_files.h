#pragma once
// The files port on a POSIX file system, for figures taken natively on real files. Backslashes in
// the core's paths are taken as folder separators.

#include "ports.h"

namespace quellix::bench {

class PosixFiles : public FilesPort {
public:
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool isReadOnly(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    // Every byte written, then flushed to the disk, as the Windows port does.
    bool writeNewFile(const std::string& path, std::string_view bytes) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;
};

} // namespace quellix::bench
