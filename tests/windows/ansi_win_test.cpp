#include "windows/ansi_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace quellix {
namespace {

TEST(AnsiWin, EveryCharacterOfTheCodePageRoundTrips) {
    win::WindowsAnsiCodePage ansi;
    for (const std::string& text :
         {std::string("C:\\Jeux été\\Œuvre – 50 €"), std::string("a\0b", 3)}) {
        EXPECT_EQ(ansi.fromAnsi(ansi.toAnsi(text).value_or("<refused>")), text);
    }
    CPINFO info{};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    // In a double-byte code page single bytes above ASCII are not all characters.
    for (int byte = 1; byte < (info.LeadByte[0] != 0 ? 0x80 : 256); ++byte) {
        std::string stored(1, static_cast<char>(byte));
        EXPECT_EQ(ansi.toAnsi(ansi.fromAnsi(stored)), stored) << byte;
    }
    if (GetACP() == 1252) {
        EXPECT_EQ(ansi.toAnsi("été €"), "\xE9t\xE9 \x80");
        EXPECT_EQ(ansi.toAnsi("\u0100"), std::nullopt); // best fit would store "A"
    }
}

TEST(AnsiWin, RefusesWhatTheCodePageCannotHold) {
    if (GetACP() == CP_UTF8) {
        GTEST_SKIP() << "the system code page holds every character";
    }
    win::WindowsAnsiCodePage ansi;
    // Best fit would store "?" and never show that anything was lost.
    for (const char* text : {"C:\\Jeux\\\u4E2D\\q3.exe", "\U0001F3AE", "caf\xC3", "\x80"}) {
        EXPECT_EQ(ansi.toAnsi(text), std::nullopt) << text;
    }
    EXPECT_EQ(ansi.toAnsi("?"), "?");
}

} // namespace
} // namespace quellix
