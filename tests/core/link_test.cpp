#include "launch/link.h"

#include "test_system.h"

#include <gtest/gtest.h>

namespace quellix {
namespace {

TEST(ArgumentText, SkipsTheProgramNameByTheWindowsRules) {
    struct Case {
        std::string_view commandLine;
        std::string_view arguments;
    };
    for (auto [line, arguments] : {
             Case{R"("C:\Program Files\Quellix\quellix.exe" vx://a/q3/b)", "vx://a/q3/b"},
             Case{R"(C:\Quellix\quellix.exe vx://a/q3/b)", "vx://a/q3/b"},
             Case{R"("C:\Program Files\Quellix\quellix.exe")", ""},
             Case{R"(quellix.exe)", ""},
             Case{"quellix.exe \t  vx://a/q3/b ", "vx://a/q3/b "},
             Case{R"("C:\Quellix\quellix.exe""vx://a/q3/b")", R"("vx://a/q3/b")"},
             Case{R"("C:\unterminated quote vx://a/q3/b)", ""},
             Case{"", ""},
         }) {
        EXPECT_EQ(argumentText(line), arguments) << line;
    }
}

TEST(CutLink, CutsAtEverySlashVerbatim) {
    struct Case {
        std::string_view arguments;
        LaunchLink elements;
    };
    const Case cases[] = {
        {"", {"vide", ""}},
        {"\"\"", {"vide", ""}},
        {"vx://10.0.0.1:27960/q3/", {"vx:", "", "10.0.0.1:27960", "q3", ""}},
        {"vx://h:1/q3/pw/", {"vx:", "", "h:1", "q3", "pw", ""}},
        {"vx://h/q3/a/b/c", {"vx:", "", "h", "q3", "a", "b", "c"}},
        {"\"vx://h:1/q3/secret\"", {"vx:", "", "h:1", "q3", "secret"}},
        {"\"vx://h:1/q3/secret", {"\"vx:", "", "h:1", "q3", "secret"}},
        {"vide", {"vide"}},
        {"vide/anything/else", {"vide", "anything", "else"}},
        {"VX: //h/Q3/%41 b", {"VX: ", "", "h", "Q3", "%41 b"}},
        {"plain text", {"plain text"}},
    };
    for (const auto& [arguments, elements] : cases) {
        EXPECT_EQ(cutLink(arguments), elements) << arguments;
    }
}

TEST(LireLien, ReadsTheProcessCommandLineAndTellsNoLinkFromALink) {
    test::TestSystem system;
    system.process.line = R"("C:\Quellix\quellix.exe" vide/x)";
    EXPECT_TRUE(isNoLink(LireLien(system.process)));
    system.process.line = R"("C:\Quellix\quellix.exe")";
    EXPECT_TRUE(isNoLink(LireLien(system.process)));
    system.process.line = R"("C:\Quellix\quellix.exe" "vx://127.0.0.1:27960/q3/secret")";
    LaunchLink link = LireLien(system.process);
    EXPECT_FALSE(isNoLink(link));
    EXPECT_EQ(link, (LaunchLink{"vx:", "", "127.0.0.1:27960", "q3", "secret"}));
    system.process.line = R"("C:\Quellix\quellix.exe" Vide)";
    EXPECT_FALSE(isNoLink(LireLien(system.process)));
}

} // namespace
} // namespace quellix
