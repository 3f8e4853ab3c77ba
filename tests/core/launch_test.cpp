#include "launch/launch.h"
#include "launch/startup.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <memory>

namespace quellix {
namespace {

const std::string kConfig = "C:\\Quellix\\config.ini";
const std::string kNotFound = "Le Quellix Vorbanix n'a pas trouvé l'exécutable";
const std::string kInvalid = "Ce lien de lancement n'est pas valide.";

// A machine with one game installed at `exe` and config.ini holding `config`.
std::unique_ptr<test::TestSystem> machine(const std::string& exe, const std::string& config) {
    auto system = std::make_unique<test::TestSystem>();
    system->files.files[exe] = {};
    std::string folder = exe.substr(0, exe.rfind('\\') + 1);
    system->process.enterableFolders = {folder, folder + "GameData\\"};
    system->files.files[kConfig].bytes = config;
    return system;
}

std::vector<std::string> texts(const test::TestSystem& system) {
    std::vector<std::string> result;
    for (const auto& shown : system.dialogs.messages) {
        result.push_back(shown.text);
    }
    return result;
}

TEST(LancerJeu, EveryGameJoinsWithItsOwnCommandLineInItsOwnFolder) {
    struct Case {
        std::string key, section, exe, folder, program, plain, accelerated;
    };
    // `folder` empty: the launcher's current folder is kept; `program` empty: the configured exe;
    // `accelerated` empty: the game has no mouse-acceleration variant.
    const std::string hl = " -noforcemparms -noforcemaccel";
    const std::string join = " +connect 1.2.3.4:27015 +password pw";
    const std::vector<Case> cases = {
        {"dod", "dod", R"(C:\S\day of defeat\hl.exe)", R"(C:\S\day of defeat\)", "",
         "  -console -game dod -toconsole" + join, "  -console -game dod -toconsole" + hl + join},
        {"shl", "shl", R"(C:\S\hl\hl.exe)", R"(C:\S\hl\)", "", join, " " + hl + join},
        {"scs", "scs", R"(C:\S\cs\hl.exe)", R"(C:\S\cs\)", "",
         "  -console -game cstrike -toconsole" + join,
         "  -console -game cstrike -toconsole" + hl + join},
        {"stfc", "stfc", R"(C:\S\tfc\hl.exe)", R"(C:\S\tfc\)", "",
         "  -console -game cstrike -toconsole" + join,
         "  -console -game cstrike -toconsole" + hl + join},
        {"ja", "ja", R"(C:\JA\GameData\jamp.exe)", R"(C:\JA\GameData\)", "", " " + join, ""},
        {"jo", "jo", R"(C:\JK2\JediOutcast.exe)", R"(C:\JK2\GameData\)",
         R"(C:\JK2\GameData\jk2mp.exe)", " " + join, ""},
        // Another letter case or another client of the game still finds its folder.
        {"q3", "q3", R"(C:\Jeux\Quake3\QUAKE3.EXE)", R"(C:\Jeux\Quake3\)", "", " " + join, ""},
        {"ut2003", "UT2003", R"(C:\UT\System\UT2003.exe)", "", "", "  1.2.3.4:27015?password=pw",
         ""},
        {"mohaa", "mohaa", R"(C:\MOHAA\MOHAA.exe)", R"(C:\MOHAA\)", "", " " + join, ""},
        {"ut2k4", "ut2k4", R"(C:\UT4\System\UT2004.exe)", "", "", "  1.2.3.4:27015?password=pw",
         ""},
        {"ef2", "ef2", R"(C:\EF2\EF2.exe)", R"(C:\EF2\)", "", "  +set developer 1" + join, ""},
        {"bf", "bf", R"(C:\Program Files\BF\BF1942.exe)", R"(C:\Program Files\BF\)", "",
         "  +password pw +restart 1 +joinServer 1.2.3.4:27015", ""},
        {"cod", "cod", R"(C:\CoD\CoDMP.exe)", R"(C:\CoD\)", "", " " + join, ""},
    };
    for (const char* acceleration : {"0", "1", ""}) {
        for (const Case& game : cases) {
            auto system = machine(
                game.exe, "[General]\nsansvalidation=1\nacceleration=" + std::string(acceleration) +
                              "\n[" + game.section + "]\nPath=" + game.exe + "\n");
            SCOPED_TRACE(game.key + " acceleration=" + acceleration);
            ASSERT_EQ(LancerJeu(system->os, "1.2.3.4:27015", game.key, "pw"),
                      LaunchOutcome::Started);
            const auto& started = system->process.started.at(0);
            std::string program = game.program.empty() ? game.exe : game.program;
            bool plain = std::string(acceleration) == "0" || game.accelerated.empty();
            EXPECT_EQ(started.executable, program);
            EXPECT_EQ(started.commandLine,
                      "\"" + program + "\"" + (plain ? game.plain : game.accelerated));
            EXPECT_EQ(started.currentFolder,
                      game.folder.empty() ? "C:\\Users\\joueur" : game.folder);
            EXPECT_TRUE(system->dialogs.messages.empty());
        }
    }
}

TEST(LancerJeu, AsksOnlyWhenTheOptionIsExactlyZeroAndStartsOnlyOnOk) {
    struct Case {
        std::string option;
        Answer answer;
        bool asks, starts;
    };
    for (const auto& [option, answer, asks, starts] :
         {Case{"0", Answer::Ok, true, true}, Case{"0  ", Answer::Cancel, true, false},
          Case{"1", Answer::Cancel, false, true}, Case{"", Answer::Cancel, false, true},
          Case{"00", Answer::Cancel, false, true}}) {
        auto system = machine(R"(C:\Q3\quake3.exe)", "[general]\nsansvalidation=" + option +
                                                         "\n[q3]\npath=C:\\Q3\\quake3.exe\n");
        system->dialogs.answers = {answer};
        EXPECT_EQ(LancerJeu(system->os, "h:1", "q3", ""),
                  starts ? LaunchOutcome::Started : LaunchOutcome::Cancelled)
            << option;
        EXPECT_EQ(system->process.started.size(), starts ? 1u : 0u) << option;
        EXPECT_EQ(texts(*system), asks ? std::vector<std::string>{"Voulez vous lancer q3 ?"}
                                       : std::vector<std::string>{})
            << option;
    }
}

TEST(LancerJeu, TellsWhyNothingStartedAndChangesNothingThen) {
    struct Case {
        std::string name, key, server, password, config;
        bool exeExists, folderEnterable, startFails;
        LaunchOutcome outcome;
        std::string message; // empty: none
    };
    const std::string q3 = "[q3]\nPath=C:\\Q3\\quake3.exe\n";
    const std::vector<Case> cases = {
        {"unknown key", "Q3", "h:1", "pw", q3, true, true, false, LaunchOutcome::UnknownGame, ""},
        {"no config", "q3", "h:1", "pw", "", true, true, false, LaunchOutcome::NotInstalled,
         "q3 n'est pas installé sur cette machine"},
        {"blank path", "ut2003", "h:1", "pw", "[UT2003]\nPath= \n", true, true, false,
         LaunchOutcome::NotInstalled, "ut2003 n'est pas installé sur cette machine"},
        {"missing exe", "q3", "h:1", "pw", q3, false, true, false,
         LaunchOutcome::ExecutableNotFound, kNotFound},
        {"folder gone", "q3", "h:1", "pw", q3, true, false, false,
         LaunchOutcome::ExecutableNotFound, kNotFound},
        {"no backslash", "q3", "h:1", "pw", "[q3]\nPath=quake3.exe\n", true, true, false,
         LaunchOutcome::ExecutableNotFound, kNotFound},
        {"start fails", "q3", "h:1", "pw", q3, true, true, true, LaunchOutcome::StartFailed,
         "Le Quellix Vorbanix n'a pas pu lancer le jeu."},
        // Hostile links: switches and console commands smuggled in the server or the password.
        {"server switch", "q3", "1.2.3.4:1 +exec evil", "pw", q3, true, true, false,
         LaunchOutcome::InvalidLink, kInvalid},
        {"password switch", "q3", "h:1", "x +rcon_password y", q3, true, true, false,
         LaunchOutcome::InvalidLink, kInvalid},
        {"console command", "q3", "h:1", "x;quit", q3, true, true, false,
         LaunchOutcome::InvalidLink, kInvalid},
        {"unreal option", "ut2k4", "h:1?game=evil", "pw", q3, true, true, false,
         LaunchOutcome::InvalidLink, kInvalid},
        {"quote", "q3", "h:1", "a\"b", q3, true, true, false, LaunchOutcome::InvalidLink, kInvalid},
        {"leading dash", "shl", "h:1", "-game evil", q3, true, true, false,
         LaunchOutcome::InvalidLink, kInvalid},
        {"empty server", "q3", "", "pw", q3, true, true, false, LaunchOutcome::InvalidLink,
         kInvalid},
        {"long password", "q3", "h:1", std::string(65, 'a'), q3, true, true, false,
         LaunchOutcome::InvalidLink, kInvalid},
    };
    for (const Case& c : cases) {
        auto system = machine(R"(C:\Q3\quake3.exe)", c.config);
        if (c.config.empty()) {
            system->files.files.erase(kConfig);
        }
        if (!c.exeExists) {
            system->files.files.erase(R"(C:\Q3\quake3.exe)");
        }
        system->files.files["quake3.exe"] = {};
        if (!c.folderEnterable) {
            system->process.enterableFolders.clear();
        }
        system->process.startFails = c.startFails;
        EXPECT_EQ(LancerJeu(system->os, c.server, c.key, c.password), c.outcome) << c.name;
        EXPECT_EQ(texts(*system), c.message.empty() ? std::vector<std::string>{}
                                                    : std::vector<std::string>{c.message})
            << c.name;
        EXPECT_TRUE(system->process.started.empty()) << c.name;
        if (c.outcome == LaunchOutcome::InvalidLink) {
            EXPECT_TRUE(system->process.foldersEntered.empty()) << c.name;
        }
    }
}

TEST(LancerJeu, JediOutcastIsTestedAsConfiguredButStartedFromGameData) {
    // jk2mp.exe itself is not there: only the configured executable is tested.
    auto system = machine(R"(C:\JK2\JediOutcast.exe)", "[jo]\nPath=C:\\JK2\\JediOutcast.exe\n");
    ASSERT_EQ(LancerJeu(system->os, "h:1", "jo", ""), LaunchOutcome::Started);
    EXPECT_EQ(system->process.started[0].commandLine,
              R"("C:\JK2\GameData\jk2mp.exe"  +connect h:1 +password )");
}

TEST(Startup, LaunchesALinkWithoutTheWindowAndReportsIncompleteOnes) {
    auto system = machine(R"(C:\Q3\quake3.exe)", "[q3]\nPath=C:\\Q3\\quake3.exe\n");
    struct Case {
        std::string arguments;
        bool showWindow;
        size_t started;
        std::vector<std::string> messages;
    };
    for (const auto& [arguments, showWindow, started, messages] :
         {Case{"", true, 0, {}}, Case{"vide/x", true, 0, {}},
          Case{"vx://h:1/q3", false, 0, {kInvalid}}, Case{"garbage", false, 0, {kInvalid}},
          Case{"\"vx://127.0.0.1:27960/q3/secret/\"", false, 1, {}}}) {
        system->process.line = R"("C:\Quellix\quellix.exe" )" + arguments;
        system->process.started.clear();
        system->dialogs.messages.clear();
        EXPECT_EQ(runStartup(system->os).showWindow, showWindow) << arguments;
        EXPECT_EQ(system->process.started.size(), started) << arguments;
        EXPECT_EQ(texts(*system), messages) << arguments;
    }
    EXPECT_EQ(system->process.started.at(0).commandLine,
              R"("C:\Q3\quake3.exe"  +connect 127.0.0.1:27960 +password secret)");
}

} // namespace
} // namespace quellix
