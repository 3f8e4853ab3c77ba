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
std::string button(std::string_view p) {
    return "btn_" + std::string(p);
}

// Whether every row but `except` is locked as the window creates it.
void expectOthersLocked(WindowFixture& w, std::string_view except) {
    for (const GameEntry& game : GameCatalogue) {
        if (game.controlPrefix == except) {
            continue;
        }
        EXPECT_FALSE(w.controls.enabled(path(game.controlPrefix))) << game.controlPrefix;
        EXPECT_FALSE(w.controls.enabled(button(game.controlPrefix))) << game.controlPrefix;
    }
}

TEST(GameRows, EveryRowStartsLocked) {
    WindowFixture w;
    expectOthersLocked(w, "");
    for (const GameEntry& game : GameCatalogue) {
        EXPECT_EQ(w.controls.value(box(game.controlPrefix)), 0);
    }
}

TEST(GameRows, TickingARowUnlocksItAndNoOtherAndKeepsItsText) {
    for (const GameEntry& game : GameCatalogue) {
        const std::string_view p = game.controlPrefix;
        WindowFixture w;
        w.controls.setText(path(p), "C:\\avant.exe");

        w.controls.userToggles(box(p));
        EXPECT_TRUE(w.controls.enabled(path(p))) << p;
        EXPECT_TRUE(w.controls.enabled(button(p))) << p;
        expectOthersLocked(w, p);

        w.controls.userToggles(box(p));
        EXPECT_FALSE(w.controls.enabled(path(p))) << p;
        EXPECT_FALSE(w.controls.enabled(button(p))) << p;
        EXPECT_EQ(w.controls.text(path(p)), "C:\\avant.exe") << p;
    }
}

TEST(GameRows, AGreyedBoxCountsAsClear) {
    WindowFixture w;
    w.controls.setValue("q3_chk", 1);
    ASSERT_TRUE(w.controls.enabled("q3_path"));
    w.controls.setValue("q3_chk", 2);
    EXPECT_FALSE(w.controls.enabled("q3_path"));
    EXPECT_FALSE(w.controls.enabled("btn_q3"));
}

TEST(GameRows, BrowsingPutsTheChosenPathInItsOwnRowOnly) {
    struct Case {
        std::string prefix;
        std::string chosen; // empty: the dialog was cancelled
        std::string expected;
    };
    const Case cases[] = {
        {"q3", "D:\\Jeux\\Quake III Arena\\quake3.exe", "D:\\Jeux\\Quake III Arena\\quake3.exe"},
        {"moh", "E:\\Jeux vidéo\\MOHAA\\MOHAA.exe", "E:\\Jeux vidéo\\MOHAA\\MOHAA.exe"},
        {"ut", "C:\\UT2003\\System\\lisezmoi.txt", "C:\\UT2003\\System\\lisezmoi.txt"},
        {"cod", "", "C:\\avant.exe"},
    };
    for (const Case& c : cases) {
        WindowFixture w;
        for (const GameEntry& game : GameCatalogue) {
            w.controls.setText(path(game.controlPrefix), "C:\\avant.exe");
        }
        w.controls.userToggles(box(c.prefix));
        w.t.dialogs.chosenFiles.push_back(c.chosen);

        w.controls.click(button(c.prefix));

        ASSERT_EQ(w.t.dialogs.fileDialogs.size(), 1u) << c.prefix;
        const auto& shown = w.t.dialogs.fileDialogs[0];
        EXPECT_EQ(shown.title, "Chercher un executable");
        ASSERT_EQ(shown.filters.size(), 2u);
        EXPECT_EQ(shown.filters[0].description, "Fichiers Exe (*.exe)");
        EXPECT_EQ(shown.filters[0].pattern, "*.exe");
        EXPECT_EQ(shown.filters[1].description, "Tous les fichiers ");
        EXPECT_EQ(shown.filters[1].pattern, "*.*");
        for (const GameEntry& game : GameCatalogue) {
            const std::string_view p = game.controlPrefix;
            EXPECT_EQ(w.controls.text(path(p)), p == c.prefix ? c.expected : "C:\\avant.exe")
                << c.prefix << " changed " << p;
        }
        EXPECT_TRUE(w.controls.enabled(path(c.prefix)));
        EXPECT_TRUE(w.t.files.files.empty()) << "browsing must not write config.ini";
    }
}

TEST(GameRows, DecocherCasesLocksOnlyTheRowsThatWereTicked) {
    WindowFixture w;
    for (const GameEntry& game : GameCatalogue) {
        w.controls.setText(path(game.controlPrefix), "C:\\" + std::string(game.controlPrefix));
    }
    w.controls.userToggles("moh_chk");
    w.controls.userToggles("ut2k4_chk");
    // A clear box whose row is unlocked behind its back shows whether its handler runs: it must
    // not, since the box's value does not change.
    w.controls.setEnabled("ja_path", true);
    w.controls.setEnabled("btn_ja", true);

    DecocherCases(w.controls);

    for (const GameEntry& game : GameCatalogue) {
        const std::string_view p = game.controlPrefix;
        EXPECT_EQ(w.controls.value(box(p)), 0) << p;
        EXPECT_EQ(w.controls.text(path(p)), "C:\\" + std::string(p)) << p;
        const bool unlocked = p == "ja";
        EXPECT_EQ(w.controls.enabled(path(p)), unlocked) << p;
        EXPECT_EQ(w.controls.enabled(button(p)), unlocked) << p;
    }
    EXPECT_TRUE(w.t.files.files.empty());
}

TEST(GameRows, DecocherCasesRunsEachHandlerInOrderBeforeClearingTheNextBox) {
    WindowFixture w;
    std::vector<std::string> order;
    for (std::string_view p : kRowOrder) {
        w.controls.onClick(box(p), [&w, &order, p] {
            std::string seen(p);
            // The boxes after this one in the order are still ticked when its handler runs.
            for (std::string_view other : kRowOrder) {
                seen += std::to_string(w.controls.value(box(other)));
            }
            order.push_back(seen);
        });
    }
    for (std::string_view p : kRowOrder) {
        w.controls.setValue(box(p), 1);
    }
    order.clear();

    DecocherCases(w.controls);

    const std::vector<std::string> expected{
        "dod0111111111111",  "ja0011111111111",    "jo0001111111111",  "q30000111111111",
        "moh0000011111111",  "ut0000001111111",    "shl0000000111111", "scs0000000011111",
        "stfc0000000001111", "ut2k40000000000111", "ef20000000000011", "bf0000000000001",
        "cod0000000000000"};
    EXPECT_EQ(order, expected);
}

} // namespace
} // namespace quellix
