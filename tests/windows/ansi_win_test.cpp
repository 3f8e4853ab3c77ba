#include "platform/windows/ansi_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace quellix {
namespace {

TEST(AnsiWin, RoundTripsText) {
    win::WindowsAnsiCodePage ansi;
    const std::string texts[] = {"",
                                 "abc",
                                 "é",
                                 "C:\\Jeux été\\Bibliothèque à Noël\\q3.exe",
                                 "Œuvre – 50 €",
                                 std::string("a\0b", 3)};
    for (const std::string& text : texts) {
        std::optional<std::string> stored = ansi.toAnsi(text);
        ASSERT_TRUE(stored.has_value()) << text;
        EXPECT_EQ(ansi.fromAnsi(*stored), text) << text;
    }
}

TEST(AnsiWin, StoresWesternTextInOneBytePerCharacter) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the system code page is " << GetACP();
    }
    win::WindowsAnsiCodePage ansi;
    EXPECT_EQ(ansi.toAnsi("é"), "\xE9");
    EXPECT_EQ(ansi.toAnsi("été €"), "\xE9t\xE9 \x80");
    EXPECT_EQ(ansi.fromAnsi("\xE9t\xE9 \x80"), "été €");
}

TEST(AnsiWin, EveryCharacterOfTheCodePageRoundTrips) {
    win::WindowsAnsiCodePage ansi;
    CPINFO info{};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    for (int byte = 1; byte < 256; ++byte) {
        if (info.LeadByte[0] != 0 && byte >= 0x80) {
            break; // a double-byte code page: single bytes above ASCII are not all characters
        }
        std::string stored(1, static_cast<char>(byte));
        std::string text = ansi.fromAnsi(stored);
        ASSERT_FALSE(text.empty()) << byte;
        EXPECT_EQ(ansi.toAnsi(text), stored) << byte;
    }
}

TEST(AnsiWin, RefusesWhatTheCodePageCannotHold) {
    if (GetACP() == CP_UTF8) {
        GTEST_SKIP() << "the system code page holds every character";
    }
    win::WindowsAnsiCodePage ansi;
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"CJK ideograph", "\u4E2D"},
        {"among held characters", "C:\\Jeux\\\u4E2D\\q3.exe"},
        {"emoji", "\U0001F3AE"},
        {"invalid UTF-8", "caf\xC3"},
        {"lone continuation byte", "\x80"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ansi.toAnsi(c.text), std::nullopt) << c.name;
    }
    if (GetACP() == 1252) {
        // Best fit would store "A" for "Ā" and "?" never shows that anything was lost.
        EXPECT_EQ(ansi.toAnsi("\u0100"), std::nullopt);
        EXPECT_EQ(ansi.toAnsi("?"), "?");
    }
}

} // namespace
} // namespace quellix
