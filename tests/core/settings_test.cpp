#include "config/catalogue.h"
#include "config/settings.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix {
namespace {

using test::MemoryFiles;
using test::TestSystem;

const std::string kConfig = "C:\\Quellix\\config.ini";

TEST(Settings, ConfigPathAppendsTheFileNameAsItIs) {
    struct Case {
        std::string folder;
        std::string expected;
    };
    for (const Case& c :
         {Case{"C:\\Quellix", "C:\\Quellix\\config.ini"}, Case{"C:\\", "C:\\\\config.ini"},
          Case{"D:\\Jeux\\Vorbanix é", "D:\\Jeux\\Vorbanix é\\config.ini"}}) {
        TestSystem sys;
        sys.process.folder = c.folder;
        EXPECT_EQ(configPath(sys.process), c.expected);
    }
}

TEST(Settings, LireIniFallsBackToTheDefault) {
    struct Case {
        const char* name;
        bool fileThere;
        bool failRead;
        std::string section;
        std::string key;
        std::string expected;
    };
    const Case cases[] = {
        {"value found", true, false, "general", "sansvalidation", "1"},
        {"missing key", true, false, "general", "absent", "def"},
        {"missing section", true, false, "q3", "path", "def"},
        {"missing file", false, false, "general", "sansvalidation", "def"},
        {"unreadable file", true, true, "general", "sansvalidation", "def"},
        {"name without an ANSI form", true, false, "g\xE4\xB8\xAD", "k", "def"},
    };
    for (const Case& c : cases) {
        TestSystem sys;
        if (c.fileThere) {
            sys.files.files[kConfig].bytes = "[General]\r\nsansvalidation=1\r\n";
        }
        sys.files.failRead = c.failRead;
        EXPECT_EQ(LireIni(sys.os, c.section, c.key, kConfig, "def"), c.expected) << c.name;
    }
}

TEST(Settings, TextCrossesTheAnsiCodePage) {
    TestSystem sys;
    sys.files.files[kConfig].bytes = "[G\xE9n\xE9ral]\r\nPath=C:\\Jeux \xE9t\xE9\\q3.exe\r\n";
    EXPECT_EQ(LireIni(sys.os, "Général", "path", kConfig, ""), "C:\\Jeux été\\q3.exe");

    ASSERT_TRUE(EcrireIni(sys.os, "Général", "Path", "D:\\Bibliothèque\\q3.exe", kConfig));
    EXPECT_EQ(sys.files.files[kConfig].bytes,
              "[G\xE9n\xE9ral]\r\nPath=D:\\Biblioth\xE8que\\q3.exe\r\n");
    EXPECT_EQ(LireIni(sys.os, "Général", "Path", kConfig, ""), "D:\\Bibliothèque\\q3.exe");
}

TEST(Settings, AFileMarkedUtf8KeepsUtf8Text) {
    TestSystem sys;
    sys.files.files[kConfig].bytes = "\xEF\xBB\xBF[q3]\r\nPath=C:\\été\\q3.exe\r\n";
    EXPECT_EQ(LireIni(sys.os, "q3", "path", kConfig, ""), "C:\\été\\q3.exe");
    ASSERT_TRUE(EcrireIni(sys.os, "q3", "path", "D:\\à\\q3.exe", kConfig));
    EXPECT_EQ(sys.files.files[kConfig].bytes, "\xEF\xBB\xBF[q3]\r\nPath=D:\\à\\q3.exe\r\n");
}

TEST(Settings, EcrireIniCreatesAMissingFile) {
    TestSystem sys;
    ASSERT_TRUE(EcrireIni(sys.os, "General", "sansvalidation", "1", kConfig));
    ASSERT_TRUE(EcrireIni(sys.os, "q3", "Path", "C:\\q3\\quake3.exe", kConfig));
    EXPECT_EQ(sys.files.files[kConfig].bytes,
              "[General]\r\nsansvalidation=1\r\n[q3]\r\nPath=C:\\q3\\quake3.exe\r\n");
    EXPECT_EQ(sys.files.files.size(), 1u) << "no temporary file is left behind";
}

TEST(Settings, EcrireIniLeavesTheFileUntouchedWhenItCannotWrite) {
    struct Case {
        const char* name;
        void (*setUp)(MemoryFiles&);
        std::string key;
        std::string value;
        bool temporaryLeft; // only when removing it failed too
    };
    const Case cases[] = {
        {"read-only file", [](MemoryFiles& f) { f.files[kConfig].readOnly = true; }, "k", "v",
         false},
        {"unreadable file", [](MemoryFiles& f) { f.failRead = true; }, "k", "v", false},
        {"temporary not written", [](MemoryFiles& f) { f.failWriteNewFile = true; }, "k", "v",
         false},
        {"disk full", [](MemoryFiles& f) { f.writeStopsAfter = 5; }, "k", "v", false},
        {"replace fails", [](MemoryFiles& f) { f.failReplace = true; }, "k", "v", false},
        {"disk full and removal fails",
         [](MemoryFiles& f) {
             f.writeStopsAfter = 5;
             f.failRemove = true;
         },
         "k", "v", true},
        {"replace and removal fail",
         [](MemoryFiles& f) {
             f.failReplace = true;
             f.failRemove = true;
         },
         "k", "v", true},
        {"value without an ANSI form", [](MemoryFiles&) {}, "k", "\xE4\xB8\xAD", false},
        {"key without an ANSI form", [](MemoryFiles&) {}, "\xE4\xB8\xAD", "v", false},
        {"value with a line break", [](MemoryFiles&) {}, "k", "a\r\n[h]", false},
    };
    const std::string original = "; mine\n[General]\nsansvalidation=0\n\n[q3]\nPath=C:\\q3\n";
    for (const Case& c : cases) {
        TestSystem sys;
        sys.files.files[kConfig].bytes = original;
        c.setUp(sys.files);
        bool readOnly = sys.files.files[kConfig].readOnly;

        EXPECT_FALSE(EcrireIni(sys.os, "General", c.key, c.value, kConfig)) << c.name;
        EXPECT_EQ(sys.files.files[kConfig].bytes, original) << c.name;
        EXPECT_EQ(sys.files.files[kConfig].readOnly, readOnly) << c.name;
        EXPECT_EQ(sys.files.files.contains(kConfig + ".tmp"), c.temporaryLeft) << c.name;
    }
}

TEST(Settings, AReadOnlyFileIsNeverWritten) {
    TestSystem sys;
    sys.files.files[kConfig] = {"[q3]\r\nPath=a\r\n", true, false};
    EXPECT_FALSE(EcrireIni(sys.os, "q3", "path", "b", kConfig));
    EXPECT_TRUE(sys.files.writes.empty());
    EXPECT_EQ(sys.files.files[kConfig].bytes, "[q3]\r\nPath=a\r\n");
}

TEST(Settings, JeuPresentIsFalseOnlyForExactlyZero) {
    struct Case {
        const char* name;
        std::optional<std::string> file; // none: no config.ini
        std::string section;
        bool expected;
    };
    const Case cases[] = {
        {"zero", "[q3]\r\npresent=0\r\n", "q3", false},
        {"zero and blanks", "[q3]\r\npresent=0  \r\n", "q3", false},
        {"quoted zero", "[q3]\r\npresent=\"0\"\r\n", "q3", false},
        {"key in other case", "[q3]\r\nPRESENT=0\r\n", "q3", false},
        {"one", "[q3]\r\npresent=1\r\n", "q3", true},
        {"double zero", "[q3]\r\npresent=00\r\n", "q3", true},
        {"empty", "[q3]\r\npresent=\r\n", "q3", true},
        {"key missing", "[q3]\r\nPath=x\r\n", "q3", true},
        {"section missing", "[ja]\r\npresent=0\r\n", "q3", true},
        {"no file", std::nullopt, "q3", true},
        {"section by link key", "[UT2003]\r\npresent=0\r\n", "ut2003", false},
    };
    for (const Case& c : cases) {
        TestSystem sys;
        if (c.file) {
            sys.files.files[kConfig].bytes = *c.file;
        }
        EXPECT_EQ(JeuPresent(sys.os, c.section), c.expected) << c.name;
    }
}

TEST(Settings, EtatCheminTellsWhetherAPathIsSet) {
    struct Case {
        const char* name;
        std::optional<std::string> file;
        std::string section;
        std::string expected;
    };
    const Case cases[] = {
        {"path set", "[q3]\r\nPath=C:\\q3\\quake3.exe\r\n", "q3", "1"},
        {"one blank", "[q3]\r\nPath= \r\n", "q3", "0"},
        {"empty", "[q3]\r\nPath=\r\n", "q3", "0"},
        {"empty quotes", "[q3]\r\nPath=\"\"\r\n", "q3", "0"},
        {"key missing", "[q3]\r\npresent=1\r\n", "q3", "0"},
        {"no file", std::nullopt, "q3", "0"},
        {"section by link key", "[UT2003]\r\nPath=C:\\UT2003\\System\\UT2003.exe\r\n", "ut2003",
         "1"},
        {"other game's path", "[q3]\r\nPath=x\r\n[ja]\r\n", "ja", "0"},
    };
    for (const Case& c : cases) {
        TestSystem sys;
        if (c.file) {
            sys.files.files[kConfig].bytes = *c.file;
        }
        EXPECT_EQ(EtatChemin(sys.os, c.section), c.expected) << c.name;
    }
}

TEST(Settings, EveryGameSectionRoundTrips) {
    TestSystem sys;
    for (const GameEntry& game : GameCatalogue) {
        std::string path = "C:\\Jeux\\" + std::string(game.section) + "\\jeu.exe";
        ASSERT_TRUE(EcrireIni(sys.os, game.section, "Path", path, kConfig)) << game.section;
        ASSERT_TRUE(EcrireIni(sys.os, game.section, "present", "0", kConfig)) << game.section;
    }
    for (const GameEntry& game : GameCatalogue) {
        // The launch names the section by the link key.
        EXPECT_EQ(LireIni(sys.os, game.linkKey, "path", kConfig, ""),
                  "C:\\Jeux\\" + std::string(game.section) + "\\jeu.exe");
        EXPECT_FALSE(JeuPresent(sys.os, game.section)) << game.section;
        EXPECT_EQ(EtatChemin(sys.os, game.section), "1") << game.section;
    }
}

} // namespace
} // namespace quellix
