#pragma once
// Helpers of the tests that run real programs under Wine: scratch folders, files, and a runner
// that answers the message boxes a program shows and records their texts.

#include "ports.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quellix::wintest {

// The folder of the test program, where the build puts quellix.exe and game_probe.exe.
std::string buildFolder();
std::string quellixExe();
std::string probeExe();

// An empty folder of its own under the temporary folder (emptied when it exists).
std::string scratchFolder(const std::string& name);

bool copyFileTo(const std::string& from, const std::string& to);
bool makeFolders(const std::string& path);
bool writeBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> readBytes(const std::string& path);

struct ShownMessage {
    std::string title;
    std::string text;
};

struct RunResult {
    bool finished = false; // false: killed after the time-out
    DWORD exitCode = 0;
    std::vector<ShownMessage> messages;
};

// Runs `exe` with the argument text in `currentFolder` (the caller's when empty) and waits for it.
// Each message box it shows gets the next answer (Ok when none is left).
RunResult runProgram(const std::string& exe, const std::string& arguments,
                     const std::string& currentFolder = "", std::vector<Answer> answers = {},
                     DWORD timeoutMs = 30000);

// The lines that the game probe copied to `exePath` wrote (command line, current folder, show
// state), or nothing when none appears within `waitMs` (the game outlives the launcher).
std::optional<std::vector<std::string>> probeRecord(const std::string& exePath,
                                                    DWORD waitMs = 10000);

} // namespace quellix::wintest
