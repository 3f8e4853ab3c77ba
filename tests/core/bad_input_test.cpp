// Hostile and broken input through the whole start-up sequence: command lines that a page or a
// user could hand the launcher, and config.ini files as other programs, editors or disks leave
// them. For each: no crash, the user told in French where a link cannot be followed, no game
// started that was not asked for, and no byte of config.ini lost.

#include "config/settings.h"
#include "launch/startup.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quellix {
namespace {

const std::string kConfig = "C:\\Quellix\\config.ini";
const std::string kQuake = "C:\\Jeux\\Quake3\\quake3.exe";
const std::string kInvalid = "Ce lien de lancement n'est pas valide.";
const std::string kNotInstalled = "q3 n'est pas installé sur cette machine";

struct StartupRun {
    bool showWindow = false;
    std::vector<test::FakeProcess::Started> started;
    std::vector<std::string> messages;
    std::optional<std::string> configAfter;
};

// A machine with Quake 3 installed and configured by `config` (bytes as stored; none: no file).
std::unique_ptr<test::TestSystem> machine(const std::optional<std::string>& config) {
    auto sys = std::make_unique<test::TestSystem>();
    sys->files.files[kQuake] = {};
    sys->process.enterableFolders.insert("C:\\Jeux\\Quake3\\");
    if (config) {
        sys->files.files[kConfig].bytes = *config;
    }
    return sys;
}

StartupRun start(test::TestSystem& sys, const std::string& arguments) {
    sys.process.line = "\"C:\\Quellix\\quellix.exe\" " + arguments;
    StartupRun run;
    run.showWindow = runStartup(sys.os).showWindow;
    run.started = sys.process.started;
    for (const auto& shown : sys.dialogs.messages) {
        run.messages.push_back(shown.text);
    }
    if (auto it = sys.files.files.find(kConfig); it != sys.files.files.end()) {
        run.configAfter = it->second.bytes;
    }
    return run;
}

const std::string kQuakeConfig = "[General]\r\nsansvalidation=1\r\n[q3]\r\nPath=" + kQuake + "\r\n";

// --- Command lines ------------------------------------------------------------------------------

enum class Expect {
    Window,  // no link: the window opens, nothing said
    Invalid, // the link is refused and the user told
    Silent,  // a game key outside the catalogue: nothing said, nothing started
    Starts,  // Quake 3 starts with `password`
};

TEST(BadInput, CommandLinesEndInTheWindowAMessageOrTheRightGame) {
    struct Case {
        std::string name;
        std::string arguments;
        Expect expect;
        std::string password = "";
    };
    const std::string big(64 * 1024, 'a');
    const std::vector<Case> cases = {
        {"empty", "", Expect::Window},
        {"empty quotes", "\"\"", Expect::Window},
        {"vide", "vide", Expect::Window},
        {"vide with elements", "vide/x/q3/pw", Expect::Window},
        {"scheme only", "vx:", Expect::Invalid},
        {"scheme and slashes", "vx://", Expect::Invalid},
        {"server only", "vx://h:1", Expect::Invalid},
        {"no password element", "vx://h:1/q3", Expect::Invalid},
        {"no slash at all", "bonjour", Expect::Invalid},
        {"blank only", " ", Expect::Window},
        {"empty password", "vx://h:1/q3/", Expect::Starts, ""},
        {"quoted link", "\"vx://h:1/q3/pw\"", Expect::Starts, "pw"},
        {"trailing elements ignored", "vx://h:1/q3/pw/x/y/", Expect::Starts, "pw"},
        {"upper-case key", "vx://h:1/Q3/pw", Expect::Silent},
        {"key with a blank", "vx://h:1/q3 /pw", Expect::Silent},
        {"key with an accent", "vx://h:1/q3\xC3\xA9/pw", Expect::Silent},
        {"empty key", "vx://h:1//pw", Expect::Silent},
        {"percent escapes reach the game as written", "vx://h:1/q3/%2Bexec%20x%22", Expect::Starts,
         "%2Bexec%20x%22"},
        {"percent escape in the server", "vx://h%3A1/q3/pw", Expect::Invalid},
        {"UTF-8 password", "vx://h:1/q3/mot-de-passe-\xC3\xA9", Expect::Invalid},
        {"8-bit password", "vx://h:1/q3/\xE9t\xE9", Expect::Invalid},
        {"UTF-8 server", "vx://h\xC3\xA9:1/q3/pw", Expect::Invalid},
        {"64 KiB password", "vx://h:1/q3/" + big, Expect::Invalid},
        {"64 KiB server", "vx://" + big + "/q3/pw", Expect::Invalid},
        {"64 KiB without a slash", big, Expect::Invalid},
        {"64 KiB of slashes", std::string(64 * 1024, '/'), Expect::Silent},
        {"64 KiB after the password", "vx://h:1/q3/pw/" + big, Expect::Starts, "pw"},
        {"64 KiB of quotes", std::string(64 * 1024, '"'), Expect::Invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto sys = machine(kQuakeConfig);
        StartupRun run = start(*sys, c.arguments);
        EXPECT_EQ(run.showWindow, c.expect == Expect::Window);
        EXPECT_EQ(run.configAfter, kQuakeConfig);
        switch (c.expect) {
        case Expect::Window:
        case Expect::Silent:
            EXPECT_TRUE(run.messages.empty());
            EXPECT_TRUE(run.started.empty());
            break;
        case Expect::Invalid:
            EXPECT_EQ(run.messages, std::vector<std::string>{kInvalid});
            EXPECT_TRUE(run.started.empty());
            break;
        case Expect::Starts:
            EXPECT_TRUE(run.messages.empty());
            ASSERT_EQ(run.started.size(), 1u);
            EXPECT_EQ(run.started[0].commandLine,
                      "\"" + kQuake + "\"  +connect h:1 +password " + c.password);
            break;
        }
    }
}

// Every character that a game could read as a separator, a switch or a console command, at the
// start, in the middle and at the end of the server address and of the password.
TEST(BadInput, NoForbiddenCharacterInAnyPositionReachesAGame) {
    std::string forbidden = " +;=\"?#\\";
    for (int c = 0; c < 0x20; ++c) {
        forbidden += static_cast<char>(c);
    }
    for (int c = 0x7F; c < 0x100; ++c) {
        forbidden += static_cast<char>(c);
    }
    size_t tried = 0;
    for (char c : forbidden) {
        const std::string bad(1, c);
        const std::vector<std::pair<std::string, std::string>> placements = {
            {bad + "h:1", "pw"}, {"h" + bad + ":1", "pw"}, {"h:1" + bad, "pw"},
            {"h:1", bad + "pw"}, {"h:1", "p" + bad + "w"}, {"h:1", "pw" + bad},
        };
        for (const auto& [server, password] : placements) {
            auto sys = machine(kQuakeConfig);
            StartupRun run = start(*sys, "vx://" + server + "/q3/" + password);
            ASSERT_TRUE(run.started.empty()) << "character " << int(static_cast<unsigned char>(c));
            EXPECT_EQ(run.messages, std::vector<std::string>{kInvalid})
                << "character " << int(static_cast<unsigned char>(c));
            ++tried;
        }
    }
    // A leading "-" would read as a switch; inside the text it is harmless.
    for (const auto& [server, password, starts] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"-h:1", "pw", false}, {"h:1", "-pw", false}, {"h-1:1", "p-w", true}}) {
        auto sys = machine(kQuakeConfig);
        StartupRun run = start(*sys, "vx://" + server + "/q3/" + password);
        EXPECT_EQ(run.started.size(), starts ? 1u : 0u) << server << " " << password;
        ++tried;
    }
    EXPECT_EQ(tried, forbidden.size() * 6 + 3);
}

// --- config.ini ---------------------------------------------------------------------------------

// True when `after` differs from `before` in the bytes of one line at most: the bytes removed hold
// no line break, and everything before and after the change is kept.
::testing::AssertionResult oneLineChangedAtMost(const std::string& before,
                                                const std::string& after) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    std::string removed = before.substr(prefix, before.size() - prefix - suffix);
    if (removed.find_first_of("\r\n") != std::string::npos) {
        return ::testing::AssertionFailure() << "bytes lost: " << removed.substr(0, 200);
    }
    return ::testing::AssertionSuccess();
}

std::string garbage(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFFu);
    }
    return bytes;
}

std::string tenMebibytes() {
    std::string file;
    file.reserve(10u << 20);
    const std::string filler = "; une ligne de commentaire qui remplit le fichier\r\n";
    while (file.size() + filler.size() < (10u << 20) - 64) {
        file += filler;
    }
    return file + "[q3]\r\nPath=" + kQuake + "\r\n";
}

TEST(BadInput, BrokenConfigFilesAreReadSafelyAndKeepEveryByteOnWrite) {
    struct Case {
        std::string name;
        std::string bytes;
        bool starts;   // the q3 link starts the game; else "not installed" is shown
        bool writable; // an option can be written into it
    };
    std::string all256;
    for (int c = 0; c < 256; ++c) {
        all256 += static_cast<char>(c);
    }
    const std::string utf16("\xFF\xFE[\0q\0\x33\0]\0\r\0\n\0", 14);
    const std::vector<Case> cases = {
        {"empty", "", false, true},
        {"every byte value", all256 + all256, false, true},
        {"random bytes", garbage(64 * 1024, 7), false, true},
        {"random bytes then the game", garbage(4096, 11) + "\r\n[q3]\r\nPath=" + kQuake + "\r\n",
         true, true},
        {"10 MiB", tenMebibytes(), true, true},
        {"no sections", "Path=" + kQuake + "\r\nsansvalidation=1\r\n", false, true},
        {"key before any section", "Path=" + kQuake + "\r\n[q3]\r\npresent=1\r\n", false, true},
        {"duplicate sections: the first counts",
         "[q3]\r\nPath=" + kQuake + "\r\n[Q3]\r\nPath=C:\\ailleurs\\quake3.exe\r\n", true, true},
        {"duplicate keys: the first counts",
         "[q3]\r\nPath=" + kQuake + "\r\nPATH=C:\\ailleurs\\quake3.exe\r\n", true, true},
        {"empty first key", "[q3]\r\nPath=\r\nPath=" + kQuake + "\r\n", false, true},
        {"CR only", "[General]\rsansvalidation=1\r[q3]\rPath=" + kQuake + "\r", true, true},
        {"LF only", "[General]\nsansvalidation=1\n[q3]\nPath=" + kQuake + "\n", true, true},
        {"UTF-8 mark", "\xEF\xBB\xBF[q3]\r\nPath=" + kQuake + "\r\n", true, true},
        {"NUL inside lines", std::string("[q3]\r\nPa") + '\0' + "th=x\r\nPath=" + kQuake + "\r\n",
         true, true},
        {"UTF-16 text", utf16, false, false},
        {"one line of 1 MiB", "[General]\r\nx=" + std::string(1u << 20, 'x'), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto sys = machine(c.bytes);
        StartupRun run = start(*sys, "vx://h:1/q3/pw");
        EXPECT_FALSE(run.showWindow);
        ASSERT_TRUE(run.configAfter.has_value());
        EXPECT_TRUE(*run.configAfter == c.bytes) << "the launch changed config.ini";
        if (c.starts) {
            EXPECT_TRUE(run.messages.empty());
            ASSERT_EQ(run.started.size(), 1u);
            EXPECT_EQ(run.started[0].executable, kQuake);
        } else {
            EXPECT_EQ(run.messages, std::vector<std::string>{kNotInstalled});
            EXPECT_TRUE(run.started.empty());
        }

        // A window command writes an option into the same file.
        EXPECT_EQ(EcrireIni(sys->os, "general", "sansvalidation", "0", kConfig), c.writable);
        const std::string& after = sys->files.files[kConfig].bytes;
        EXPECT_TRUE(oneLineChangedAtMost(c.bytes, after));
        if (c.writable) {
            EXPECT_EQ(LireIni(sys->os, "General", "sansvalidation", kConfig, "?"), "0");
        } else {
            EXPECT_TRUE(after == c.bytes);
        }
        EXPECT_EQ(sys->files.files.size(), 2u) << "a temporary file was left behind";
    }
}

} // namespace
} // namespace quellix
