#include "fake_process.h"

namespace quellix::test {

bool FakeProcess::setCurrentFolder(const std::string& path) {
    if (!enterableFolders.contains(path)) {
        return false;
    }
    foldersEntered.push_back(path);
    currentFolder = path;
    return true;
}

bool FakeProcess::startMinimized(const std::string& executable, const std::string& commandLine) {
    if (startFails) {
        return false;
    }
    started.push_back({executable, commandLine, currentFolder});
    return true;
}

} // namespace quellix::test
