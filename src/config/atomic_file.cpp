#include "config/atomic_file.h"

namespace quellix {

bool replaceFileContents(FilesPort& files, const std::string& path, std::string_view bytes,
                         std::uint32_t owner) {
    if (files.isReadOnly(path)) {
        return false;
    }
    const bool existed = files.fileExists(path);
    // Same folder, so that the final step is a rename on one volume.
    const std::string temporary = path + "." + std::to_string(owner) + ".tmp";
    if (files.writeNewFile(temporary, bytes) && files.replaceFile(temporary, path)) {
        return true;
    }
    if (!existed || files.fileExists(path)) {
        files.removeFile(temporary);
    }
    return false;
}

} // namespace quellix
