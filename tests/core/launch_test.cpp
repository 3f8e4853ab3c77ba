// From the command line to the game: each game's command line, and what every other link ends in.

#include "launch/desktop_entry.h"
#include "launch/link.h"
#include "launch/link_check.h"
#include "launch/startup.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <array>

using namespace std::string_literals;

namespace quellix {
namespace {

TEST(Launch, EachGameJoinsWithItsOwnCommandLineInItsOwnFolder) {
    // Link key, section, executable and the one started (empty: the same) under C:\Jeux\, the
    // folder it starts in (empty: the launcher's current one), its arguments after the quoted
    // program when "acceleration" reads exactly "0", and otherwise (empty: the same).
    using Game = std::array<std::string, 7>;
    const std::string hl = " -console -game ", join = " +connect h:1 +password pw",
                      mouse = " -noforcemparms -noforcemaccel";
    // clang-format off
    const Game games[] = {
        {"dod", "dod", "dod\\hl.exe", "", "dod\\", " " + hl + "dod -toconsole" + join, " " + hl + "dod -toconsole" + mouse + join},
        {"shl", "shl", "hl\\hl.exe", "", "hl\\", join, " " + mouse + join},
        {"scs", "scs", "cs\\hl.exe", "", "cs\\", " " + hl + "cstrike -toconsole" + join, " " + hl + "cstrike -toconsole" + mouse + join},
        {"stfc", "stfc", "tfc\\hl.exe", "", "tfc\\", " " + hl + "tfc -toconsole" + join, " " + hl + "tfc -toconsole" + mouse + join},
        {"ja", "ja", "JA\\GameData\\jamp.exe", "", "JA\\GameData\\", " " + join, ""},
        {"jo", "jo", "JK2\\JediOutcast.exe", "JK2\\GameData\\jk2mp.exe", "JK2\\GameData\\", " " + join, ""},
        {"q3", "q3", "Q3\\quake3.exe", "", "Q3\\", " " + join, ""},
        {"ut2003", "UT2003", "UT2003\\System\\UT2003.exe", "", "", "  h:1?password=pw", ""},
        {"mohaa", "mohaa", "MOHAA\\MOHAA.exe", "", "MOHAA\\", " " + join, ""},
        {"ut2k4", "ut2k4", "UT2004\\System\\UT2004.exe", "", "", "  h:1?password=pw", ""},
        {"ef2", "ef2", "EF2\\EF2.exe", "", "EF2\\", "  +set developer 1" + join, ""},
        {"bf", "bf", "BF1942\\BF1942.exe", "", "BF1942\\", "  +password pw +restart 1 +joinServer h:1", ""},
        {"cod", "cod", "CoD\\CoDMP.exe", "", "CoD\\", " " + join, ""},
    };
    // clang-format on
    // The two first read as "0".
    for (const char* option : {"acceleration=0\n", "acceleration= 0\t\n", "acceleration=1\n", ""}) {
        for (const auto& [key, section, exe, started, folder, arguments, accelerated] : games) {
            SCOPED_TRACE(key + " " + option);
            test::TestSystem t;
            t.files.files["C:\\Jeux\\" + exe] = {};
            t.process.enterable.insert("C:\\Jeux\\" + folder);
            t.files.files[t.config].bytes = "[General]\nsansvalidation=1\n" + std::string(option) +
                                            "[" + section + "]\nPath=C:\\Jeux\\" + exe;
            t.process.line += " vx://h:1/" + key + "/pw";
            EXPECT_FALSE(runStartup(t.os).showWindow);
            const bool plain = std::string(option).find('0') != std::string::npos;
            const std::string program = "C:\\Jeux\\" + (started.empty() ? exe : started);
            ASSERT_EQ(t.process.started.size(), 1u);
            const auto& start = t.process.started[0];
            EXPECT_EQ(start.executable + "|" + start.commandLine + "|" + start.folder,
                      program + "|\"" + program + "\"" +
                          (plain || accelerated.empty() ? arguments : accelerated) + "|" +
                          (folder.empty() ? "C:\\Users\\joueur" : "C:\\Jeux\\" + folder));
            EXPECT_TRUE(t.dialogs.shown.empty());
            EXPECT_EQ(t.registry.writes.size(), 9u) << "a start with a link registers too";
        }
    }
}

TEST(Launch, EveryOtherLinkEndsInTheWindowAMessageOrNothing) {
    enum Fault { None, NoExe, NoFolder, StartFails };
    struct Case {
        std::string arguments, config;
        Fault fault;
        std::string shown;     // the message; "window": none, and the window opens
        std::string connect{}; // what the game gets after "+connect " (empty: none starts)
        Answer answer = Answer::Ok;
    };
    const std::string q3 = "[q3]\nPath=C:\\Q3\\quake3.exe\n", ask = "[general]\nsansvalidation=";
    const std::string invalid = "Ce lien de lancement n'est pas valide.";
    const std::string notFound = "Le Quellix Vorbanix n'a pas trouvé l'exécutable";
    const std::string question = "Voulez vous lancer q3 ? [OK|Annuler]", pw = "h:1 +password ";
    // clang-format off
    const Case cases[] = {
        {"", q3, None, "window"}, {"\"\"", q3, None, "window"}, {"vide/x/q3/pw", q3, None, "window"},
        {"vx://h:1/q3", q3, None, invalid}, {"bonjour", q3, None, invalid},
        {"vx://h:1/Q3/pw", q3, None, ""}, {"vx://h:1//pw", q3, None, ""},
        {"vx://h:1/q3/pw", "", None, "q3 n'est pas installé sur cette machine"},
        {"vx://h:1/ut2003/pw", "[UT2003]\nPath= \n", None, "ut2003 n'est pas installé sur cette machine"},
        {"vx://h:1/q3/pw", q3, NoExe, notFound}, {"vx://h:1/q3/pw", q3, NoFolder, notFound},
        {"vx://h:1/q3/pw", "[q3]\nPath=quake3.exe\n", None, notFound},
        {"vx://h:1/q3/pw", q3, StartFails, "Le Quellix Vorbanix n'a pas pu lancer le jeu."},
        {"vx://1.2.3.4:1 +exec x/q3/pw", q3, None, invalid}, {"vx://h:1/q3/x;quit", q3, None, invalid},
        {"vx:///q3/pw", q3, None, invalid}, {"vx://h:1/q3/a\"b", q3, None, invalid},
        {"\"vx://h:1/q3/pw/x\"", q3, None, "", pw + "pw"}, {"vx://h:1/q3/", ask + "0\n" + q3, None, question, pw},
        {"vx://h:1/q3/", ask + " 0 \n" + q3, None, question, "", Answer::Cancel},
        {"vx://h:1/q3/", ask + "00\n" + q3, None, "", pw}, {"vx://h:1/q3/", ask + "\n" + q3, None, "", pw},
        // Each element is percent-decoded once, then judged as decoded.
        {"vx://h%3a1/q3/a%25b", q3, None, "", pw + "a%b"}, {"vx://h:1/q3/%2B", q3, None, invalid},
        {"vx://h:1/q3/a%20b", q3, None, invalid}, {"vx://h%2B1/q3/a", q3, None, invalid},
        {"vx://h:1/q3/%2fx", q3, None, invalid}, {"vx://h:1/q3/a%", q3, None, "", pw + "a%"},
        {"vx://h:1/q3/%4", q3, None, "", pw + "%4"}, {"vx://h:1/q3/%%4a%4A%2541%zz", q3, None, "", pw + "%JJ%41%zz"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments + " " + c.config);
        test::TestSystem t;
        t.files.files[t.config].bytes = c.config;
        t.files.files[c.fault == NoExe ? "quake3.exe" : "C:\\Q3\\quake3.exe"] = {};
        t.files.files["quake3.exe"] = {};
        if (c.fault != NoFolder) {
            t.process.enterable.insert("C:\\Q3\\");
        }
        t.process.startFails = c.fault == StartFails;
        t.dialogs.answers.push_back(c.answer);
        t.process.line += " " + c.arguments;
        EXPECT_EQ(runStartup(t.os).showWindow, c.shown == "window");
        EXPECT_EQ(t.dialogs.shown, c.shown.empty() || c.shown == "window"
                                       ? std::vector<std::string>{}
                                       : std::vector{c.shown});
        EXPECT_EQ(t.process.started.empty() ? "" : t.process.started[0].commandLine,
                  c.connect.empty() ? "" : "\"C:\\Q3\\quake3.exe\"  +connect " + c.connect);
    }
}

TEST(Launch, TheAllowListAdmitsRealServersAndPasswordsOnly) {
    // clang-format off
    const std::tuple<std::string, bool, bool> cases[] = { // text, server, password
        {"127.0.0.1:27960", true, false}, {"fe80::1:27015", true, false}, {"jeux.vorbanix.fr", true, true},
        {"9-host", true, true}, {"azAZ09", true, true}, {"", false, true}, {"-x", false, false}, {".h", false, true},
        {":1", false, false}, {"P4ss_w-rd.!~*'()@%", false, true}, {"_a", false, true},
        {std::string(128, 'a'), true, false}, {std::string(129, 'a'), false, false},
        {std::string(64, 'z'), true, true}, {std::string(65, 'z'), true, false},
    };
    // clang-format on
    for (const auto& [text, server, password] : cases) {
        EXPECT_EQ(isAllowedServerAddress(text), server) << text;
        EXPECT_EQ(isAllowedPassword(text), password) << text;
    }
    for (char c : std::string(" +;=\"?#\\/\x01\x7F\xE9", 13)) {
        EXPECT_FALSE(isAllowedServerAddress(std::string("a") + c) ||
                     isAllowedPassword(std::string("a") + c))
            << int(c);
    }
}

// Under Wine, each start makes the desktop's vx handler this copy, in its prefix; on Windows
// nothing is looked at. A second start changes nothing.
TEST(Desktop, TheEntryRunsThisCopyInItsPrefixAndBecomesTheDefaultKeepingOtherLines) {
    const std::string data = "Z:\\j\\.local\\share\\", list = "Z:\\j\\.config\\mimeapps.list";
    const std::string ours = "x-scheme-handler/vx=quellix-vx.desktop\n",
                      section = "[Default Applications]\n";
    // Prefix, loader, data home; the script's command line, Exec, where both are.
    // clang-format off
    const std::array<std::string, 6> entries[] = {
        {"/j/.wine", "/usr/bin/wine", "", "'/j/.wine'\nexec '/usr/bin/wine'", "/j/.local/share/quellix/vx-link.sh", data},
        {"/j/l'été 2/p\"", "/w 8/wine", "/d", "'/j/l'\\''été 2/p\"'\nexec '/w 8/wine'", "/d/quellix/vx-link.sh", "Z:\\d\\"},
        {"/p", "/w", "/j/d \"%\"", "'/p'\nexec '/w'", "\"/j/d \\\\\"%%\\\\\"/quellix/vx-link.sh\"", "Z:\\j\\d \"%\"\\"},
    };
    const std::array<std::string, 2> lists[] = { // before ("-": no file), after
        {"-", section + ours}, {"", section + ours}, {"text/html=a", "text/html=a\n\n" + section + ours},
        {"[Added Associations]\nimage/png=gimp.desktop;\n\n" + section + "text/html=firefox.desktop\n\n[Autre]\nx-scheme-handler/vx=a.desktop",
         "[Added Associations]\nimage/png=gimp.desktop;\n\n" + section + "text/html=firefox.desktop\n" + ours + "\n[Autre]\nx-scheme-handler/vx=a.desktop"},
        {section + "x-scheme-handler/vx = a.desktop\r\ntext/html=é.desktop\r\nx-scheme-handler/vx=b.desktop\r\n",
         section + "x-scheme-handler/vx=quellix-vx.desktop\r\ntext/html=é.desktop\r\n"},
        {section + "x-scheme-handler/vx=quellix-vx.desktop;a.desktop;", section + "x-scheme-handler/vx=quellix-vx.desktop;a.desktop;"},
        {"[Default Applications\nx-scheme-handler/vx=a.desktop\n", "[Default Applications\nx-scheme-handler/vx=a.desktop\n\n" + section + ours},
        {section + "x-scheme-handler/vx=a\0"s, section + "x-scheme-handler/vx=a\0"s}, // not text: left
    };
    // clang-format on
    for (size_t row = 0; row < std::size(entries) + std::size(lists); ++row) {
        const auto& [prefix, loader, dataHome, command, exec, folder] = entries[row % 3];
        const auto& [before, after] = lists[row < 3 ? 0 : row - 3];
        SCOPED_TRACE(row);
        test::TestSystem t;
        t.wine.under = WineDesktop{prefix, loader, "/j", dataHome, "j/.config"};
        if (before != "-") {
            t.files.files[list].bytes = before;
        }
        registerWithDesktop(t.os);
        t.files.changesLeft = SIZE_MAX;
        registerWithDesktop(t.os);
        EXPECT_EQ(t.files.changesLeft, SIZE_MAX) << "a start where all is right wrote";
        EXPECT_EQ(t.files.files[folder + "quellix\\vx-link.sh"].bytes,
                  "#!/bin/sh\n# Quellix Vorbanix: hands a vx link to the launcher in its Wine "
                  "prefix.\nexport WINEPREFIX=" +
                      command + " 'C:\\Quellix\\quellix.exe' \"$1\"\n");
        EXPECT_EQ(t.files.files[folder + "applications\\quellix-vx.desktop"].bytes,
                  "[Desktop Entry]\nType=Application\nName=Quellix Vorbanix (liens vx)\n"
                  "NoDisplay=true\nMimeType=x-scheme-handler/vx;\nExec=/bin/sh " +
                      exec + " %u\n");
        EXPECT_EQ(t.files.files[list].bytes, after);
    }
    test::TestSystem windows; // where ntdll has no wine_get_version
    windows.files.changesLeft = 1;
    registerWithDesktop(windows.os);
    EXPECT_TRUE(windows.files.files.empty() && windows.files.changesLeft == 1);
}

} // namespace
} // namespace quellix
