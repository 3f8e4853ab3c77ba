#include "launch/launch.h"
#include "launch/startup.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <memory>

namespace quellix {
namespace {

const std::string kConfig = "C:\\Quellix\\config.ini";

struct LaunchFixture : ::testing::Test {
    std::unique_ptr<test::TestSystem> sys = std::make_unique<test::TestSystem>();

    void reset() { sys = std::make_unique<test::TestSystem>(); }

    void config(const std::string& text) { sys->files.files[kConfig].bytes = text; }
    void installAt(const std::string& exe) {
        sys->files.files[exe] = {};
        auto folder = exe.substr(0, exe.rfind('\\') + 1);
        sys->process.enterableFolders.insert(folder);
        sys->process.enterableFolders.insert(folder + "GameData\\");
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : sys->dialogs.messages) {
            texts.push_back(shown.text);
        }
        return texts;
    }
};

struct GameCase {
    std::string key;
    std::string section; // as written in the file
    std::string exe;
    std::string folder; // empty: the current folder is kept
    std::string program;
    std::string argumentsAcceleration0;
    std::string argumentsAccelerationOther; // as acceleration 0 for games without the variant
};

const std::vector<GameCase>& gameCases() {
    static const std::vector<GameCase> cases = {
        {"dod", "dod", R"(C:\Steam\day of defeat\hl.exe)", R"(C:\Steam\day of defeat\)", "",
         "  -console -game dod -toconsole +connect 1.2.3.4:27015 +password pw",
         "  -console -game dod -toconsole -noforcemparms -noforcemaccel +connect 1.2.3.4:27015 "
         "+password pw"},
        {"shl", "shl", R"(C:\Steam\half-life\hl.exe)", R"(C:\Steam\half-life\)", "",
         " +connect 1.2.3.4:27015 +password pw",
         "  -noforcemparms -noforcemaccel +connect 1.2.3.4:27015 +password pw"},
        {"scs", "scs", R"(C:\Steam\counter-strike\hl.exe)", R"(C:\Steam\counter-strike\)", "",
         "  -console -game cstrike -toconsole +connect 1.2.3.4:27015 +password pw",
         "  -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect 1.2.3.4:27015 "
         "+password pw"},
        {"stfc", "stfc", R"(C:\Steam\tfc\hl.exe)", R"(C:\Steam\tfc\)", "",
         "  -console -game cstrike -toconsole +connect 1.2.3.4:27015 +password pw",
         "  -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect 1.2.3.4:27015 "
         "+password pw"},
        {"ja", "ja", R"(C:\JA\GameData\jamp.exe)", R"(C:\JA\GameData\)", "",
         "  +connect 1.2.3.4:27015 +password pw", ""},
        {"jo", "jo", R"(C:\JK2\JediOutcast.exe)", R"(C:\JK2\GameData\)",
         R"(C:\JK2\GameData\jk2mp.exe)", "  +connect 1.2.3.4:27015 +password pw", ""},
        {"q3", "q3", R"(C:\Jeux\Quake3\QUAKE3.EXE)", R"(C:\Jeux\Quake3\)", "",
         "  +connect 1.2.3.4:27015 +password pw", ""},
        {"ut2003", "UT2003", R"(C:\UT2003\System\UT2003.exe)", "", "",
         "  1.2.3.4:27015?password=pw", ""},
        {"mohaa", "mohaa", R"(C:\MOHAA\MOHAA.exe)", R"(C:\MOHAA\)", "",
         "  +connect 1.2.3.4:27015 +password pw", ""},
        {"ut2k4", "ut2k4", R"(C:\UT2004\System\UT2004.exe)", "", "", "  1.2.3.4:27015?password=pw",
         ""},
        {"ef2", "ef2", R"(C:\EF2\EF2.exe)", R"(C:\EF2\)", "",
         "  +set developer 1 +connect 1.2.3.4:27015 +password pw", ""},
        {"bf", "bf", R"(C:\Program Files\EA GAMES\Battlefield 1942\BF1942.exe)",
         R"(C:\Program Files\EA GAMES\Battlefield 1942\)", "",
         "  +password pw +restart 1 +joinServer 1.2.3.4:27015", ""},
        {"cod", "cod", R"(C:\CoD\CoDMP.exe)", R"(C:\CoD\)", "",
         "  +connect 1.2.3.4:27015 +password pw", ""},
    };
    return cases;
}

TEST_F(LaunchFixture, EveryGameJoinsWithItsOwnCommandLineInItsOwnFolder) {
    for (const char* acceleration : {"0", "1", ""}) {
        for (const GameCase& game : gameCases()) {
            reset();
            installAt(game.exe);
            config("[General]\r\nsansvalidation=1\r\nacceleration=" + std::string(acceleration) +
                   "\r\n[" + game.section + "]\r\nPath=" + game.exe + "\r\n");
            ASSERT_EQ(LancerJeu(sys->os, "1.2.3.4:27015", game.key, "pw"), LaunchOutcome::Started)
                << game.key;
            ASSERT_EQ(sys->process.started.size(), 1u) << game.key;
            const auto& started = sys->process.started.front();
            std::string program = game.program.empty() ? game.exe : game.program;
            std::string arguments =
                std::string(acceleration) == "0" || game.argumentsAccelerationOther.empty()
                    ? game.argumentsAcceleration0
                    : game.argumentsAccelerationOther;
            // The arguments start with the blank that follows the quoted program path.
            EXPECT_EQ(started.executable, program) << game.key;
            EXPECT_EQ(started.commandLine, "\"" + program + "\"" + arguments)
                << game.key << " acceleration=" << acceleration;
            EXPECT_EQ(started.currentFolder,
                      game.folder.empty() ? "C:\\Users\\joueur" : game.folder)
                << game.key;
            EXPECT_TRUE(sys->dialogs.messages.empty()) << game.key;
        }
    }
}

TEST_F(LaunchFixture, AsksOnlyWhenTheOptionIsExactlyZeroAndStartsOnlyOnOk) {
    struct Case {
        std::string option;
        std::vector<Answer> answers;
        bool asks;
        bool starts;
    };
    for (const auto& [option, answers, asks, starts] :
         {Case{"0", {Answer::Ok}, true, true}, Case{"0", {Answer::Cancel}, true, false},
          Case{"1", {}, false, true}, Case{"", {}, false, true}, Case{"00", {}, false, true},
          Case{"0  ", {Answer::Cancel}, true, false}}) {
        reset();
        installAt(R"(C:\Q3\quake3.exe)");
        config("[general]\nsansvalidation=" + option + "\n[q3]\npath=C:\\Q3\\quake3.exe\n");
        sys->dialogs.answers.assign(answers.begin(), answers.end());
        LaunchOutcome outcome = LancerJeu(sys->os, "h:1", "q3", "");
        EXPECT_EQ(outcome, starts ? LaunchOutcome::Started : LaunchOutcome::Cancelled) << option;
        EXPECT_EQ(sys->process.started.size(), starts ? 1u : 0u) << option;
        if (asks) {
            ASSERT_EQ(sys->dialogs.messages.size(), 1u);
            EXPECT_EQ(sys->dialogs.messages[0].text, "Voulez vous lancer q3 ?");
            EXPECT_EQ(sys->dialogs.messages[0].buttons, Buttons::OkCancel);
        } else {
            EXPECT_TRUE(sys->dialogs.messages.empty()) << option;
        }
    }
}

TEST_F(LaunchFixture, TellsWhyNothingStarted) {
    struct Case {
        std::string name;
        std::string key;
        std::string file; // config.ini; absent when empty
        bool exeExists;
        bool folderEnterable;
        bool startFails;
        LaunchOutcome outcome;
        std::vector<std::string> messages;
    };
    const std::string q3 = "[q3]\nPath=C:\\Q3\\quake3.exe\n";
    const std::vector<Case> cases = {
        {"unknown key", "Q3", q3, true, true, false, LaunchOutcome::UnknownGame, {}},
        {"no config",
         "q3",
         "",
         true,
         true,
         false,
         LaunchOutcome::NotInstalled,
         {"q3 n'est pas installé sur cette machine"}},
        {"blank path",
         "ut2003",
         "[UT2003]\nPath= \n",
         true,
         true,
         false,
         LaunchOutcome::NotInstalled,
         {"ut2003 n'est pas installé sur cette machine"}},
        {"missing exe",
         "q3",
         q3,
         false,
         true,
         false,
         LaunchOutcome::ExecutableNotFound,
         {"Le Quellix Vorbanix n'a pas trouvé l'exécutable"}},
        {"folder gone",
         "q3",
         q3,
         true,
         false,
         false,
         LaunchOutcome::ExecutableNotFound,
         {"Le Quellix Vorbanix n'a pas trouvé l'exécutable"}},
        {"no backslash",
         "q3",
         "[q3]\nPath=quake3.exe\n",
         true,
         true,
         false,
         LaunchOutcome::ExecutableNotFound,
         {"Le Quellix Vorbanix n'a pas trouvé l'exécutable"}},
        {"start fails",
         "q3",
         q3,
         true,
         true,
         true,
         LaunchOutcome::StartFailed,
         {"Le Quellix Vorbanix n'a pas pu lancer le jeu."}},
    };
    for (const Case& c : cases) {
        reset();
        if (!c.file.empty()) {
            config(c.file);
        }
        if (c.exeExists) {
            sys->files.files[R"(C:\Q3\quake3.exe)"] = {};
            sys->files.files["quake3.exe"] = {};
        }
        if (c.folderEnterable) {
            sys->process.enterableFolders.insert(R"(C:\Q3\)");
        }
        sys->process.startFails = c.startFails;
        EXPECT_EQ(LancerJeu(sys->os, "h:1", c.key, "pw"), c.outcome) << c.name;
        EXPECT_EQ(messages(), c.messages) << c.name;
        if (c.outcome != LaunchOutcome::StartFailed) {
            EXPECT_TRUE(sys->process.started.empty()) << c.name;
        }
    }
}

TEST_F(LaunchFixture, JediOutcastIsTestedAsConfiguredButStartedFromGameData) {
    installAt(R"(C:\JK2\JediOutcast.exe)");
    config("[jo]\nPath=C:\\JK2\\JediOutcast.exe\n");
    // jk2mp.exe itself is not there: only the configured executable is tested.
    ASSERT_EQ(LancerJeu(sys->os, "h:1", "jo", ""), LaunchOutcome::Started);
    EXPECT_EQ(sys->process.started[0].executable, R"(C:\JK2\GameData\jk2mp.exe)");
    EXPECT_EQ(sys->process.started[0].commandLine,
              R"("C:\JK2\GameData\jk2mp.exe"  +connect h:1 +password )");
}

TEST_F(LaunchFixture, HostileLinksReachNoGameAndChangeNothing) {
    installAt(R"(C:\Q3\quake3.exe)");
    config("[q3]\nPath=C:\\Q3\\quake3.exe\n");
    struct Case {
        std::string server;
        std::string password;
    };
    for (const auto& [server, password] :
         {Case{"1.2.3.4:27960 +exec evil", "pw"}, Case{"h:1", "x +rcon_password y"},
          Case{"h:1", "x;quit"}, Case{"h:1?game=evil", "pw"}, Case{"h:1", "a\"b"},
          Case{"h:1", "-game evil"}, Case{"h:1", "x\\y"}, Case{"", "pw"},
          Case{"h:1", std::string(65, 'a')}, Case{"h:1", "a=b"}}) {
        sys->dialogs.messages.clear();
        EXPECT_EQ(LancerJeu(sys->os, server, "q3", password), LaunchOutcome::InvalidLink);
        EXPECT_EQ(messages(), std::vector<std::string>{"Ce lien de lancement n'est pas valide."});
    }
    EXPECT_TRUE(sys->process.started.empty());
    EXPECT_TRUE(sys->process.foldersEntered.empty());
}

TEST_F(LaunchFixture, IncompleteLinksAreReportedNotLaunched) {
    installAt(R"(C:\Q3\quake3.exe)");
    config("[q3]\nPath=C:\\Q3\\quake3.exe\n");
    for (const LaunchLink& link : {LaunchLink{"vx:", "", "h:1", "q3"}, LaunchLink{"garbage"},
                                   LaunchLink{"vx:", "", "h:1"}}) {
        sys->dialogs.messages.clear();
        EXPECT_EQ(launchFromLink(sys->os, link), LaunchOutcome::InvalidLink);
        EXPECT_EQ(messages(), std::vector<std::string>{"Ce lien de lancement n'est pas valide."});
    }
    EXPECT_EQ(launchFromLink(sys->os, {"x:", "y", "h:1", "q3", "pw", "ignored"}),
              LaunchOutcome::Started);
    EXPECT_EQ(sys->process.started.at(0).commandLine,
              R"("C:\Q3\quake3.exe"  +connect h:1 +password pw)");
}

TEST_F(LaunchFixture, StartupLaunchesALinkWithoutShowingTheWindow) {
    installAt(R"(C:\Q3\quake3.exe)");
    config("[q3]\nPath=C:\\Q3\\quake3.exe\n");
    sys->process.line = R"("C:\Quellix\quellix.exe" vx://127.0.0.1:27960/q3/secret)";
    StartupResult result = runStartup(sys->os);
    EXPECT_FALSE(result.showWindow);
    ASSERT_EQ(sys->process.started.size(), 1u);
    EXPECT_EQ(sys->process.started[0].commandLine,
              R"("C:\Q3\quake3.exe"  +connect 127.0.0.1:27960 +password secret)");

    sys->process.line = R"("C:\Quellix\quellix.exe")";
    EXPECT_TRUE(runStartup(sys->os).showWindow);
    EXPECT_EQ(sys->process.started.size(), 1u);
}

} // namespace
} // namespace quellix
