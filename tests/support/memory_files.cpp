#include "memory_files.h"

namespace quellix::test {

bool MemoryFiles::isReadOnly(const std::string& path) {
    auto it = files.find(path);
    return it != files.end() && it->second.readOnly;
}

bool MemoryFiles::createEmptyFile(const std::string& path) {
    return !failCreate && files.try_emplace(path).second;
}

std::optional<std::string> MemoryFiles::readFile(const std::string& path) {
    auto it = files.find(path);
    if (failRead || it == files.end()) {
        return std::nullopt;
    }
    return it->second.bytes;
}

bool MemoryFiles::writeNewFile(const std::string& path, std::string_view bytes) {
    writes.push_back(path);
    if (failWriteNewFile || isReadOnly(path)) {
        return false;
    }
    files[path].bytes = std::string(bytes);
    return true;
}

bool MemoryFiles::replaceFile(const std::string& from, const std::string& to) {
    auto source = files.find(from);
    if (failReplace || source == files.end() || isReadOnly(to)) {
        return false;
    }
    File replaced = source->second;
    replaced.hidden = files.contains(to) && files[to].hidden;
    files.erase(from);
    files[to] = replaced;
    return true;
}

bool MemoryFiles::removeFile(const std::string& path) {
    return !isReadOnly(path) && files.erase(path) == 1;
}

} // namespace quellix::test
