// config.ini one key at a time: defaults, the stored code page, and writes that cannot be done.

#include "config/settings.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quellix {
namespace {

TEST(Settings, ReadsFallBackToTheDefaultAndTextIsStoredInTheAnsiCodePage) {
    test::TestSystem t;
    EXPECT_EQ(LireIni(t.os, "General", "k", t.config, "def"), "def"); // no file
    ASSERT_TRUE(EcrireIni(t.os, "Général", "Path", "D:\\Bibliothèque\\q3.exe", t.config));
    EXPECT_EQ(t.files.files[t.config].bytes,
              "[G\xE9n\xE9ral]\r\nPath=D:\\Biblioth\xE8que\\q3.exe\r\n");
    EXPECT_EQ(LireIni(t.os, "général", "path", t.config, ""), "D:\\Bibliothèque\\q3.exe");
    EXPECT_EQ(LireIni(t.os, "général", "absent", t.config, "def"), "def");
    EXPECT_EQ(LireIni(t.os, "g\xE4\xB8\xAD", "path", t.config, "def"), "def"); // no ANSI form
    EXPECT_EQ(LireIni(t.os, "général", "\xE4\xB8\xAD", t.config, "def"), "def");
    EXPECT_EQ(t.files.files.size(), 1u) << "a temporary file was left";
    t.files.failRead = true;
    EXPECT_EQ(LireIni(t.os, "général", "path", t.config, "def"), "def");

    // A file that starts with the UTF-8 mark holds UTF-8 text.
    t.files.failRead = false;
    t.files.files[t.config].bytes = "\xEF\xBB\xBF[q3]\r\nPath=C:\\été\\q3.exe\r\n";
    EXPECT_EQ(LireIni(t.os, "q3", "path", t.config, ""), "C:\\été\\q3.exe");
    ASSERT_TRUE(EcrireIni(t.os, "q3", "path", "D:\\à\\q3.exe", t.config));
    EXPECT_EQ(t.files.files[t.config].bytes, "\xEF\xBB\xBF[q3]\r\nPath=D:\\à\\q3.exe\r\n");
}

TEST(Settings, AWriteThatCannotBeDoneLeavesTheFileAsItWas) {
    struct Case {
        const char* name;
        bool readOnly, failRead, failWrite, failReplace;
        std::string key, value;
    };
    // clang-format off
    const Case cases[] = {
        {"read-only", true, false, false, false, "k", "v"}, {"unreadable", false, true, false, false, "k", "v"},
        {"temporary not written", false, false, true, false, "k", "v"},
        {"not replaced", false, false, false, true, "k", "v"},
        {"value without an ANSI form", false, false, false, false, "k", "\xE4\xB8\xAD"},
        {"key without an ANSI form", false, false, false, false, "\xE4\xB8\xAD", "v"},
        {"value with a line break", false, false, false, false, "k", "a\r\n[h]"},
    };
    // clang-format on
    const std::string original = "; mine\n[General]\nsansvalidation=0\n\n[q3]\nPath=C:\\q3\n";
    for (const Case& c : cases) {
        test::TestSystem t;
        t.files.files[t.config] = {original, c.readOnly};
        // Another launcher, older (one shared name) or not, saving at the same time.
        t.files.files[t.config + ".tmp"].bytes = t.files.files[t.config + ".17.tmp"].bytes = "x";
        t.files.failRead = c.failRead;
        t.files.failWrite = c.failWrite;
        t.files.failReplace = c.failReplace;
        EXPECT_FALSE(EcrireIni(t.os, "General", c.key, c.value, t.config)) << c.name;
        EXPECT_EQ(t.files.files[t.config].bytes, original) << c.name;
        EXPECT_EQ(t.files.files.size(), 3u) << c.name << ": a temporary file was left";
    }
    test::TestSystem t; // a save's temporary file is named after its own process
    t.files.changesLeft = 1;
    EXPECT_FALSE(EcrireIni(t.os, "q3", "Path", "b", t.config));
    EXPECT_EQ(t.files.files[t.config + ".4242.tmp"].bytes, "[q3]\r\nPath=b\r\n");
}

} // namespace
} // namespace quellix
