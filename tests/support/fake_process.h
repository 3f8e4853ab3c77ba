#pragma once

#include "ports.h"

#include <set>
#include <string>
#include <vector>

namespace quellix::test {

// A process whose folder and command line are set by the test, and which records the folders it
// entered and the processes it started.
class FakeProcess : public ProcessPort {
public:
    struct Started {
        std::string executable;
        std::string commandLine;
        std::string currentFolder;
    };

    std::string folder = "C:\\Quellix";
    std::string line = "\"C:\\Quellix\\quellix.exe\"";
    std::string currentFolder = "C:\\Users\\joueur";
    std::uint32_t id = 4242;
    std::set<std::string> enterableFolders; // folders setCurrentFolder accepts
    bool startFails = false;
    std::vector<std::string> foldersEntered;
    std::vector<Started> started;

    std::string programFolder() override { return folder; }
    std::string commandLine() override { return line; }
    bool setCurrentFolder(const std::string& path) override;
    bool startMinimized(const std::string& executable, const std::string& commandLine) override;
    std::uint32_t processId() override { return id; }
};

} // namespace quellix::test
