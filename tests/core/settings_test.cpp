#include "config/settings.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace quellix {
namespace {

using test::MemoryFiles;
using test::TestSystem;

const std::string kConfig = "C:\\Quellix\\config.ini";

TEST(Settings, LireIniFallsBackToTheDefault) {
    using Case = std::tuple<bool, bool, std::string, std::string>; // file, unreadable
    for (const auto& [fileThere, failRead, section, expected] :
         {Case{true, false, "general", "1"}, Case{true, false, "q3", "def"},
          Case{false, false, "general", "def"}, Case{true, true, "general", "def"},
          Case{true, false, "g\xE4\xB8\xAD", "def"}}) {
        TestSystem sys;
        if (fileThere) {
            sys.files.files[kConfig].bytes = "[General]\r\nsansvalidation=1\r\n";
        }
        sys.files.failRead = failRead;
        EXPECT_EQ(LireIni(sys.os, section, "sansvalidation", kConfig, "def"), expected)
            << section << fileThere << failRead;
    }
}

TEST(Settings, TextIsStoredInTheAnsiCodePageUnlessTheFileIsMarkedUtf8) {
    TestSystem sys; // no config.ini yet: it is created
    ASSERT_TRUE(EcrireIni(sys.os, "Général", "Path", "D:\\Bibliothèque\\q3.exe", kConfig));
    EXPECT_EQ(sys.files.files[kConfig].bytes,
              "[G\xE9n\xE9ral]\r\nPath=D:\\Biblioth\xE8que\\q3.exe\r\n");
    EXPECT_EQ(LireIni(sys.os, "général", "path", kConfig, ""), "D:\\Bibliothèque\\q3.exe");
    EXPECT_EQ(sys.files.files.size(), 1u) << "no temporary file is left behind";

    sys.files.files[kConfig].bytes = "\xEF\xBB\xBF[q3]\r\nPath=C:\\été\\q3.exe\r\n";
    EXPECT_EQ(LireIni(sys.os, "q3", "path", kConfig, ""), "C:\\été\\q3.exe");
    ASSERT_TRUE(EcrireIni(sys.os, "q3", "path", "D:\\à\\q3.exe", kConfig));
    EXPECT_EQ(sys.files.files[kConfig].bytes, "\xEF\xBB\xBF[q3]\r\nPath=D:\\à\\q3.exe\r\n");
}

TEST(Settings, EcrireIniLeavesTheFileUntouchedWhenItCannotWrite) {
    struct Case {
        const char* name;
        void (*setUp)(MemoryFiles&);
        std::string key;
        std::string value;
        bool writeTried;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"read-only file", [](MemoryFiles& f) { f.files[kConfig].readOnly = true; }, "k", "v", false},
        {"unreadable file", [](MemoryFiles& f) { f.failRead = true; }, "k", "v", false},
        {"temporary not written", [](MemoryFiles& f) { f.failWriteNewFile = true; }, "k", "v", true},
        {"replace fails", [](MemoryFiles& f) { f.failReplace = true; }, "k", "v", true},
        {"value without an ANSI form", [](MemoryFiles&) {}, "k", "\xE4\xB8\xAD", false},
        {"key without an ANSI form", [](MemoryFiles&) {}, "\xE4\xB8\xAD", "v", false},
        {"value with a line break", [](MemoryFiles&) {}, "k", "a\r\n[h]", false},
    };
    // clang-format on
    const std::string original = "; mine\n[General]\nsansvalidation=0\n\n[q3]\nPath=C:\\q3\n";
    for (const Case& c : cases) {
        TestSystem sys;
        sys.files.files[kConfig].bytes = original;
        c.setUp(sys.files);
        EXPECT_FALSE(EcrireIni(sys.os, "General", c.key, c.value, kConfig)) << c.name;
        EXPECT_EQ(sys.files.files[kConfig].bytes, original) << c.name;
        EXPECT_EQ(sys.files.files.size(), 1u) << c.name << ": temporary file left";
        EXPECT_EQ(!sys.files.writes.empty(), c.writeTried) << c.name;
    }
}

TEST(Settings, PresentAndPathFlagsReadTheGameSection) {
    struct Case {
        std::optional<std::string> file; // none: no config.ini
        bool present;
        std::string pathSet;
    };
    // "present" hides a game only when it reads exactly "0"; one blank is no path.
    for (const Case& c : {Case{"[q3]\r\npresent=0\r\nPath=C:\\q3.exe\r\n", false, "1"},
                          Case{"[q3]\r\npresent=00\r\nPath= \r\n", true, "0"},
                          Case{"[q3]\r\npresent=\r\n", true, "0"}, Case{std::nullopt, true, "0"},
                          Case{"[ja]\r\npresent=0\r\nPath=x\r\n", true, "0"}}) {
        TestSystem sys;
        if (c.file) {
            sys.files.files[kConfig].bytes = *c.file;
        }
        EXPECT_EQ(JeuPresent(sys.os, "q3"), c.present) << c.file.value_or("no file");
        EXPECT_EQ(EtatChemin(sys.os, "q3"), c.pathSet) << c.file.value_or("no file");
    }
}

TEST(Settings, ASaveUsesATemporaryFileOfItsOwnAndLeavesOtherLaunchersOnes) {
    for (bool replaceFails : {false, true}) {
        TestSystem sys; // process 4242; another launcher, older or not, is saving at the same time
        sys.files.files[kConfig].bytes = "[q3]\r\nPath=a\r\n";
        sys.files.files[kConfig + ".tmp"].bytes = "autre";
        sys.files.files[kConfig + ".17.tmp"].bytes = "autre";
        sys.files.failReplace = replaceFails;
        EXPECT_EQ(EcrireIni(sys.os, "q3", "Path", "b", kConfig), !replaceFails);
        std::map<std::string, std::string> left;
        for (const auto& [name, file] : sys.files.files) {
            left[name] = file.bytes;
        }
        EXPECT_EQ(left, (std::map<std::string, std::string>{
                            {kConfig, replaceFails ? "[q3]\r\nPath=a\r\n" : "[q3]\r\nPath=b\r\n"},
                            {kConfig + ".17.tmp", "autre"},
                            {kConfig + ".tmp", "autre"}}));
        EXPECT_EQ(sys.files.writes, std::vector<std::string>{kConfig + ".4242.tmp"});
    }
}

} // namespace
} // namespace quellix
