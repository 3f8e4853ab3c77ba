// Broken config.ini files and hostile links handed to the real quellix.exe: it never crashes,
// tells the user in French what stops a link, starts the game only when it should, and leaves
// config.ini byte for byte as it was.

#include "harness.h"

#include "windows/main_window.h"
#include "windows/wide.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace quellix::wintest {
namespace {

const std::string kInvalid = "Ce lien de lancement n'est pas valide.";
const std::string kNotInstalled = "q3 n'est pas installé sur cette machine";

struct Installed {
    std::string root;
    std::string folder; // quellix.exe and config.ini
    std::string game;   // the probe, standing in for quake3.exe

    Installed(const std::string& name, const std::string& gameFolder = "Quake3")
        : root(scratchFolder("bad-" + name)), folder(root + "\\Quellix") {
        makeFolders(folder);
        EXPECT_TRUE(copyFileTo(quellixExe(), folder + "\\quellix.exe"));
        makeFolders(root + "\\" + gameFolder);
        game = root + "\\" + gameFolder + "\\quake3.exe";
        EXPECT_TRUE(copyFileTo(probeExe(), game));
    }
    std::string config() const { return folder + "\\config.ini"; }
    RunResult run(const std::string& arguments, DWORD timeoutMs = 30000) const {
        return runProgram(folder + "\\quellix.exe", arguments, root, {}, timeoutMs);
    }
};

std::vector<std::string> texts(const RunResult& run) {
    std::vector<std::string> result;
    for (const ShownMessage& message : run.messages) {
        result.push_back(message.text);
    }
    return result;
}

// The 8-bit form of a UTF-8 path, as config.ini stores it.
std::string ansi(const std::string& utf8) {
    std::wstring wide = win::widen(utf8);
    std::string bytes(wide.size() * 2, '\0');
    bytes.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

TEST(BadInputEndToEnd, BrokenConfigFilesAreReadSafelyAndLeftAsTheyWere) {
    struct Case {
        std::string name;
        std::string before; // "{game}" stands for the game's path in the file's own encoding
        bool starts;
        bool utf8 = false; // the file holds UTF-8 text (it starts with the mark)
    };
    std::mt19937 random(5);
    std::string garbage(256 * 1024, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() & 0xFFu);
    }
    std::string tenMiB;
    while (tenMiB.size() < (10u << 20)) {
        tenMiB += "; une ligne de commentaire qui remplit le fichier\r\n";
    }
    const std::vector<Case> cases = {
        {"garbage", garbage, false},
        {"garbage-then-game", garbage + "\r\n[q3]\r\nPath={game}\r\n", true},
        {"ten-mib", tenMiB + "[q3]\r\nPath={game}\r\n", true},
        {"cr-only", "[General]\rsansvalidation=1\r[Q3]\rPATH={game}\r", true},
        {"utf8-mark", "\xEF\xBB\xBF[q3]\r\nPath={game}\r\n", true, true},
        {"utf16", std::string("\xFF\xFE[\0q\0\x33\0]\0\r\0\n\0", 14), false},
        {"over-64-mib", std::string(65u << 20, ';') + "\r\n[q3]\r\nPath={game}\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installed machine(c.name, c.utf8 ? "Quake3 été" : "Quake3");
        std::string bytes = c.before;
        if (auto at = bytes.find("{game}"); at != std::string::npos) {
            bytes.replace(at, 6, c.utf8 ? machine.game : ansi(machine.game));
        }
        ASSERT_TRUE(writeBytes(machine.config(), bytes));

        RunResult run = machine.run("vx://10.0.0.1:27960/q3/pw");
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(texts(run),
                  c.starts ? std::vector<std::string>{} : std::vector<std::string>{kNotInstalled});
        EXPECT_EQ(probeRecord(machine.game, c.starts ? 10000 : 500).has_value(), c.starts);
        std::optional<std::string> after = readBytes(machine.config());
        ASSERT_TRUE(after.has_value());
        EXPECT_TRUE(*after == bytes) << "config.ini changed";
    }
}

TEST(BadInputEndToEnd, AReadOnlyConfigStillLaunchesAndStaysReadOnly) {
    Installed machine("read-only");
    const std::string bytes = "[q3]\r\nPath=" + ansi(machine.game) + "\r\n";
    ASSERT_TRUE(writeBytes(machine.config(), bytes));
    const std::wstring config = win::widen(machine.config());
    ASSERT_TRUE(SetFileAttributesW(config.c_str(), FILE_ATTRIBUTE_READONLY));

    RunResult run = machine.run("vx://h:1/q3/pw");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(probeRecord(machine.game).has_value());
    EXPECT_EQ(readBytes(machine.config()), bytes);
    EXPECT_NE(GetFileAttributesW(config.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesW(config.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(BadInputEndToEnd, AFolderNamedConfigIniIsNeverReplaced) {
    Installed machine("folder");
    ASSERT_TRUE(makeFolders(machine.config()));
    ASSERT_TRUE(writeBytes(machine.config() + "\\mine.txt", "à moi"));

    // With a link: nothing can be read, so the game counts as not installed.
    RunResult launch = machine.run("vx://h:1/q3/pw");
    EXPECT_TRUE(launch.finished);
    EXPECT_EQ(texts(launch), std::vector<std::string>{kNotInstalled});

    // Without one: the window opens and says once that the settings cannot be saved.
    RunResult window = machine.run("", 6000);
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages[0].text, win::kConfigNotCreated);

    EXPECT_EQ(readBytes(machine.config() + "\\mine.txt"), "à moi");
    DWORD attributes = GetFileAttributesW(win::widen(machine.config()).c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(BadInputEndToEnd, HostileLinksAreRefusedAndEscapesReachTheGameAsWritten) {
    struct Case {
        std::string name;
        std::string link;
        std::vector<std::string> messages;
        std::string arguments; // what the game gets after its quoted path; empty: not started
    };
    const std::vector<Case> cases = {
        {"accented-password", "vx://h:1/q3/\xC3\xA9t\xC3\xA9", {kInvalid}, ""},
        {"long", "vx://h:1/q3/" + std::string(32000, 'a'), {kInvalid}, ""},
        {"quote-in-password", "vx://h:1/q3/a\"+quit", {kInvalid}, ""},
        {"percent-escapes",
         "vx://h:1/q3/%2Bquit%20%22",
         {},
         "  +connect h:1 +password %2Bquit%20%22"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installed machine("link-" + c.name);
        ASSERT_TRUE(writeBytes(machine.config(), "[q3]\r\nPath=" + ansi(machine.game) + "\r\n"));
        RunResult run = machine.run(c.link);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(texts(run), c.messages);
        std::optional<std::vector<std::string>> record =
            probeRecord(machine.game, c.arguments.empty() ? 500 : 10000);
        ASSERT_EQ(record.has_value(), !c.arguments.empty());
        if (record) {
            EXPECT_EQ((*record)[0], "\"" + machine.game + "\"" + c.arguments);
        }
    }
}

} // namespace
} // namespace quellix::wintest
