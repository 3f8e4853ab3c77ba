// Links handed to the real quellix.exe, which starts the game probe in place of each game.

#include "harness.h"

#include "windows/wide.h"

#include <gtest/gtest.h>

namespace quellix::wintest {
namespace {

struct Launcher {
    std::string root;
    std::string folder;    // where quellix.exe and config.ini are
    std::string elsewhere; // the folder the launcher is started from

    explicit Launcher(const std::string& name)
        : root(scratchFolder(name)), folder(root + "\\Quellix"), elsewhere(root + "\\Bureau") {
        makeFolders(folder);
        makeFolders(elsewhere);
        EXPECT_TRUE(copyFileTo(quellixExe(), folder + "\\quellix.exe"));
    }
    // config.ini holds the system's 8-bit code page, as earlier versions wrote it.
    void config(const std::string& utf8) const {
        std::wstring wide = win::widen(utf8);
        std::string ansi(wide.size() * 2, '\0');
        ansi.resize(static_cast<size_t>(
            WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                                static_cast<int>(ansi.size()), nullptr, nullptr)));
        ASSERT_TRUE(writeBytes(folder + "\\config.ini", ansi));
    }
    std::string game(const std::string& relativeExe) const {
        std::string exe = root + "\\Jeux\\" + relativeExe;
        makeFolders(exe.substr(0, exe.rfind('\\')));
        EXPECT_TRUE(copyFileTo(probeExe(), exe));
        return exe;
    }
    RunResult run(const std::string& link, std::vector<Answer> answers = {}) const {
        RunResult result = runProgram(folder + "\\quellix.exe", link, elsewhere, answers);
        EXPECT_TRUE(result.finished) << link;
        return result;
    }
};

std::vector<std::string> texts(const RunResult& run) {
    std::vector<std::string> result;
    for (const ShownMessage& message : run.messages) {
        EXPECT_EQ(message.title, "quellix");
        result.push_back(message.text);
    }
    return result;
}

struct GameCase {
    std::string key;
    std::string section;
    std::string exe;     // under the games folder
    std::string started; // the program that really starts, under the games folder
    std::string
        folder; // the game's current folder under the games folder; "-" keeps the launcher's
    std::string acceleration; // the option's value
    std::string arguments;    // after the quoted program path
};

TEST(LaunchEndToEnd, EveryGameStartsMinimizedWithItsCommandLineAndFolder) {
    const std::vector<GameCase> cases = {
        {"dod", "dod", "Steam\\day of defeat\\hl.exe", "", "Steam\\day of defeat\\", "0",
         "  -console -game dod -toconsole +connect 10.0.0.1:27015 +password pw"},
        {"dod", "dod", "Steam\\day of defeat\\hl.exe", "", "Steam\\day of defeat\\", "1",
         "  -console -game dod -toconsole -noforcemparms -noforcemaccel +connect 10.0.0.1:27015 "
         "+password pw"},
        {"shl", "shl", "Steam\\half-life\\hl.exe", "", "Steam\\half-life\\", "0",
         " +connect 10.0.0.1:27015 +password pw"},
        {"shl", "shl", "Steam\\half-life\\hl.exe", "", "Steam\\half-life\\", "",
         "  -noforcemparms -noforcemaccel +connect 10.0.0.1:27015 +password pw"},
        {"scs", "scs", "Steam\\counter-strike\\hl.exe", "", "Steam\\counter-strike\\", "0",
         "  -console -game cstrike -toconsole +connect 10.0.0.1:27015 +password pw"},
        {"scs", "scs", "Steam\\counter-strike\\hl.exe", "", "Steam\\counter-strike\\", "1",
         "  -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect "
         "10.0.0.1:27015 +password pw"},
        {"stfc", "stfc", "Steam\\tfc\\hl.exe", "", "Steam\\tfc\\", "0",
         "  -console -game cstrike -toconsole +connect 10.0.0.1:27015 +password pw"},
        {"stfc", "stfc", "Steam\\tfc\\hl.exe", "", "Steam\\tfc\\", "1",
         "  -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect "
         "10.0.0.1:27015 +password pw"},
        {"ja", "ja", "JA\\GameData\\jamp.exe", "", "JA\\GameData\\", "1",
         "  +connect 10.0.0.1:27015 +password pw"},
        {"jo", "jo", "JK2\\JediOutcast.exe", "JK2\\GameData\\jk2mp.exe", "JK2\\GameData\\", "1",
         "  +connect 10.0.0.1:27015 +password pw"},
        {"q3", "q3", "Program Files\\Quake III Arena\\quake3.exe", "",
         "Program Files\\Quake III Arena\\", "1", "  +connect 10.0.0.1:27015 +password pw"},
        {"ut2003", "UT2003", "UT2003\\System\\UT2003.exe", "", "-", "1",
         "  10.0.0.1:27015?password=pw"},
        {"mohaa", "mohaa", "MOHAA\\MOHAA.exe", "", "MOHAA\\", "1",
         "  +connect 10.0.0.1:27015 +password pw"},
        {"ut2k4", "ut2k4", "UT2004\\System\\UT2004.exe", "", "-", "1",
         "  10.0.0.1:27015?password=pw"},
        {"ef2", "ef2", "EF2\\EF2.exe", "", "EF2\\", "1",
         "  +set developer 1 +connect 10.0.0.1:27015 +password pw"},
        {"bf", "bf", "Battlefield 1942\\BF1942.exe", "", "Battlefield 1942\\", "1",
         "  +password pw +restart 1 +joinServer 10.0.0.1:27015"},
        {"cod", "cod", "CoD\\CoDMP.exe", "", "CoD\\", "1",
         "  +connect 10.0.0.1:27015 +password pw"},
    };
    for (const GameCase& c : cases) {
        SCOPED_TRACE(c.key + " acceleration=" + c.acceleration);
        Launcher launcher("game-" + c.key + "-" + c.acceleration);
        std::string exe = launcher.game(c.exe);
        std::string started = c.started.empty() ? exe : launcher.game(c.started);
        launcher.config("[General]\r\nsansvalidation=1\r\nacceleration=" + c.acceleration +
                        "\r\n[" + c.section + "]\r\nPath=" + exe + "\r\npresent=1\r\n");
        RunResult run = launcher.run("vx://10.0.0.1:27015/" + c.key + "/pw");
        EXPECT_TRUE(run.messages.empty());
        auto record = probeRecord(started);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ((*record)[0], "\"" + started + "\"" + c.arguments);
        std::string folder =
            c.folder == "-" ? launcher.elsewhere : launcher.root + "\\Jeux\\" + c.folder;
        // The system reports the current folder without its final backslash.
        if (folder.back() == '\\') {
            folder.pop_back();
        }
        EXPECT_EQ((*record)[1], folder);
        EXPECT_EQ((*record)[2], std::to_string(SW_SHOWMINIMIZED));
    }
}

TEST(LaunchEndToEnd, ConfirmationStartsOnOkOnly) {
    for (Answer answer : {Answer::Ok, Answer::Cancel}) {
        Launcher launcher(answer == Answer::Ok ? "confirm-ok" : "confirm-cancel");
        std::string exe = launcher.game("Quake3\\quake3.exe");
        launcher.config("[general]\nsansvalidation=0\n[q3]\npath=" + exe + "\n");
        RunResult run = launcher.run("vx://127.0.0.1:27960/q3/secret", {answer});
        EXPECT_EQ(texts(run), std::vector<std::string>{"Voulez vous lancer q3 ?"});
        EXPECT_EQ(probeRecord(exe, answer == Answer::Ok ? 10000 : 1500).has_value(),
                  answer == Answer::Ok);
    }
}

TEST(LaunchEndToEnd, TellsWhyNothingStartedAndNeverStartsAGameThen) {
    struct Case {
        std::string name;
        std::string link;
        std::string config; // "{exe}" stands for the probe's path
        bool removeExe;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"not-installed",
         "vx://h:1/q3/pw",
         "[q3]\r\nPath= \r\n",
         false,
         {"q3 n'est pas installé sur cette machine"}},
        {"missing-exe",
         "vx://h:1/q3/pw",
         "[q3]\r\nPath={exe}\r\n",
         true,
         {"Le Quellix Vorbanix n'a pas trouvé l'exécutable"}},
        {"hostile-password",
         "vx://h:1/q3/x+exec evil.cfg",
         "[q3]\r\nPath={exe}\r\n",
         false,
         {"Ce lien de lancement n'est pas valide."}},
        {"hostile-server",
         "vx://h:1;quit/q3/pw",
         "[q3]\r\nPath={exe}\r\n",
         false,
         {"Ce lien de lancement n'est pas valide."}},
        {"incomplete",
         "vx://h:1/q3",
         "[q3]\r\nPath={exe}\r\n",
         false,
         {"Ce lien de lancement n'est pas valide."}},
        {"unknown-key", "vx://h:1/Q3/pw", "[q3]\r\nPath={exe}\r\n", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Launcher launcher("refused-" + c.name);
        std::string exe = launcher.game("Quake3\\quake3.exe");
        std::string config = c.config;
        if (auto at = config.find("{exe}"); at != std::string::npos) {
            config.replace(at, 5, exe);
        }
        launcher.config(config);
        if (c.removeExe) {
            DeleteFileW(win::widen(exe).c_str());
        }
        RunResult run = launcher.run(c.link);
        EXPECT_EQ(texts(run), c.messages);
        EXPECT_FALSE(probeRecord(exe, 1500).has_value());
    }
}

TEST(LaunchEndToEnd, JediOutcastWithoutItsMultiplayerProgramIsReportedNotCrashed) {
    Launcher launcher("jo-without-jk2mp");
    std::string exe = launcher.game("JK2\\JediOutcast.exe");
    makeFolders(launcher.root + "\\Jeux\\JK2\\GameData");
    launcher.config("[jo]\r\nPath=" + exe + "\r\n");
    RunResult run = launcher.run("vx://h:1/jo/pw");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(texts(run),
              std::vector<std::string>{"Le Quellix Vorbanix n'a pas pu lancer le jeu."});
}

TEST(LaunchEndToEnd, AFolderWithBlanksCannotBeHijackedByAnEarlierProgram) {
    Launcher launcher("hijack");
    std::string exe = launcher.game("Program Files\\Quake3\\quake3.exe");
    // What Windows would run for an unquoted "...\Program Files\Quake3\quake3.exe" command line.
    std::string hijacker = launcher.game("Program.exe");
    launcher.config("[q3]\r\nPath=" + exe + "\r\n");
    launcher.run("\"vx://h:1/q3/pw\"");
    EXPECT_TRUE(probeRecord(exe).has_value());
    EXPECT_FALSE(probeRecord(hijacker, 1000).has_value());
}

TEST(LaunchEndToEnd, LongAndAccentedPathsAreReadInFull) {
    Launcher launcher("long-path");
    // Longer than the 254 characters that earlier versions kept, within what Windows accepts
    // without long-path support (folders under 248, files under 260); another client's name.
    const std::string name = "\\ioquake3-client-haute-définition.exe";
    std::string deep = "Jeux vidéo";
    while (win::widen(launcher.root + "\\Jeux\\" + deep + name).size() < 258) {
        deep += "\\é";
    }
    std::string exe = launcher.game(deep + name);
    ASSERT_GT(win::widen(exe).size(), 254u);
    launcher.config("[q3]\r\nPath=" + exe + "\r\n");
    EXPECT_EQ(texts(launcher.run("vx://h:1/q3/")), std::vector<std::string>{});
    auto record = probeRecord(exe);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ((*record)[0], "\"" + exe + "\"  +connect h:1 +password ");
}

} // namespace
} // namespace quellix::wintest
