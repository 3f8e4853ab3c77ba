#include "config/catalogue.h"
#include "ui/game_rows.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellix {
namespace {

using test::WindowFixture;

std::string box(std::string_view p) {
    return std::string(p) + "_chk";
}
std::string path(std::string_view p) {
    return std::string(p) + "_path";
}
bool unlocked(WindowFixture& w, std::string_view p) {
    const bool open = w.controls.enabled(path(p));
    EXPECT_EQ(w.controls.enabled("btn_" + std::string(p)), open) << p;
    return open;
}

TEST(GameRows, TickingARowUnlocksItAloneAndAGreyedOrClearBoxLocksIt) {
    for (const GameEntry& game : GameCatalogue) {
        const std::string_view p = game.controlPrefix;
        for (int clear : {0, 2}) {
            WindowFixture w;
            w.controls.setText(path(p), "C:\\avant.exe");
            w.controls.userToggles(box(p));
            for (const GameEntry& other : GameCatalogue) {
                EXPECT_EQ(unlocked(w, other.controlPrefix), other.controlPrefix == p) << p;
            }
            w.controls.setValue(box(p), clear);
            EXPECT_FALSE(unlocked(w, p)) << p << " " << clear;
            EXPECT_EQ(w.controls.text(path(p)), "C:\\avant.exe") << p;
        }
    }
}

TEST(GameRows, BrowsingPutsTheChosenPathInItsOwnRowOnly) {
    struct Case {
        std::string prefix;
        std::string chosen; // empty: the dialog was cancelled
    };
    for (const Case& c : {Case{"q3", "D:\\Jeux vidéo\\Quake III Arena\\quake3.exe"},
                          Case{"ut", "C:\\UT2003\\System\\lisezmoi.txt"}, Case{"cod", ""}}) {
        WindowFixture w;
        for (const GameEntry& game : GameCatalogue) {
            w.controls.setText(path(game.controlPrefix), "C:\\avant.exe");
        }
        w.controls.userToggles(box(c.prefix));
        w.t.dialogs.chosenFiles.push_back(c.chosen);

        w.controls.click("btn_" + c.prefix);

        ASSERT_EQ(w.t.dialogs.fileDialogs.size(), 1u) << c.prefix;
        const auto& shown = w.t.dialogs.fileDialogs[0];
        std::string filters = shown.title;
        for (const auto& filter : shown.filters) {
            filters += "|" + filter.description + "|" + filter.pattern;
        }
        EXPECT_EQ(filters,
                  "Chercher un executable|Fichiers Exe (*.exe)|*.exe|Tous les fichiers |*.*");
        for (const GameEntry& game : GameCatalogue) {
            const std::string_view p = game.controlPrefix;
            const bool chosen = p == c.prefix && !c.chosen.empty();
            EXPECT_EQ(w.controls.text(path(p)), chosen ? c.chosen : "C:\\avant.exe")
                << c.prefix << " changed " << p;
        }
        EXPECT_TRUE(unlocked(w, c.prefix));
        EXPECT_TRUE(w.t.files.files.empty()) << "browsing must not write config.ini";
    }
}

TEST(GameRows, DecocherCasesLocksOnlyTheTickedRowsInOrder) {
    WindowFixture w;
    w.controls.userToggles("moh_chk");
    w.controls.userToggles("ut2k4_chk");
    // A clear box whose row is unlocked behind its back shows whether its handler runs: it must
    // not, since the box's value does not change.
    w.controls.setEnabled("ja_path", true);
    w.controls.setEnabled("btn_ja", true);
    DecocherCases(w.controls);
    for (const GameEntry& game : GameCatalogue) {
        EXPECT_EQ(w.controls.value(box(game.controlPrefix)), 0) << game.controlPrefix;
        EXPECT_EQ(unlocked(w, game.controlPrefix), game.controlPrefix == "ja");
    }

    // Each box's handler runs before the next box is cleared.
    const std::vector<std::string> order{"dod", "ja",   "jo",    "q3",  "moh", "ut", "shl",
                                         "scs", "stfc", "ut2k4", "ef2", "bf",  "cod"};
    std::vector<std::string> seen;
    for (const std::string& p : order) {
        w.controls.setValue(box(p), 1);
        w.controls.onClick(box(p), [&w, &seen, &order, p] {
            int ticked = 0;
            for (const std::string& other : order) {
                ticked += w.controls.value(box(other));
            }
            seen.push_back(p + std::to_string(ticked));
        });
    }
    DecocherCases(w.controls);
    std::vector<std::string> expected;
    for (size_t i = 0; i < order.size(); ++i) {
        expected.push_back(order[i] + std::to_string(order.size() - 1 - i));
    }
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace quellix
