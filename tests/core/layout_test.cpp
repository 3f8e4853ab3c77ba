#include "config/catalogue.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace quellix {
namespace {

using layout::ControlRow;
using layout::Kind;

const ControlRow& row(std::string_view name) {
    const ControlRow* found = layout::find(name);
    EXPECT_NE(found, nullptr) << name;
    static const ControlRow missing{};
    return found != nullptr ? *found : missing;
}

TEST(Layout, NamesAreUniqueAndContainersComeBeforeTheirControls) {
    std::set<std::string_view> seen;
    for (const ControlRow& r : layout::rows()) {
        if (r.kind != Kind::Window) {
            EXPECT_TRUE(seen.contains(r.container)) << r.name << " in " << r.container;
        }
        EXPECT_TRUE(seen.insert(r.name).second) << "two controls named " << r.name;
    }
    EXPECT_EQ(layout::rows().front().name, "Form1");
}

TEST(Layout, EveryControlLiesInsideItsContainer) {
    for (const ControlRow& r : layout::rows()) {
        if (r.kind == Kind::Window || r.kind == Kind::Page || r.kind == Kind::FileDialog) {
            continue;
        }
        const ControlRow& parent = row(layout::geometryParent(r));
        EXPECT_GE(r.rect.left, 0) << r.name;
        EXPECT_GE(r.rect.top, 0) << r.name;
        EXPECT_LE(r.rect.left + r.rect.width, parent.rect.width) << r.name;
        EXPECT_LE(r.rect.top + r.rect.height, parent.rect.height) << r.name;
    }
}

TEST(Layout, EveryGameHasItsTickIconAndNameOnItsGameTab) {
    std::map<std::string_view, std::string_view> iconOf; // game -> picture
    for (size_t i = 0; i < GameCatalogue.size(); ++i) {
        const GameEntry& game = GameCatalogue[i];
        const ControlRow& tick = row(game.indicator);
        EXPECT_EQ(tick.kind, Kind::Picture) << game.indicator;
        EXPECT_EQ(tick.picture, "tick") << game.indicator;
        EXPECT_FALSE(tick.visible) << game.indicator;
        EXPECT_EQ(tick.container, i < 9 ? "Frame1" : "Frame3") << game.indicator;
        EXPECT_EQ(tick.rect.width, 150);
        EXPECT_EQ(tick.rect.height, 150);

        // The name and the icon of the same row: the label level with the tick, the icon beside.
        const ControlRow* name = nullptr;
        const ControlRow* icon = nullptr;
        for (const ControlRow& r : layout::rows()) {
            if (r.container != tick.container) {
                continue;
            }
            if (r.kind == Kind::Label && r.rect.top == tick.rect.top) {
                EXPECT_EQ(name, nullptr) << "two names level with " << game.indicator;
                name = &r;
            }
            if (r.kind == Kind::Picture && r.picture != "tick" && r.rect.top < tick.rect.top &&
                tick.rect.top < r.rect.top + r.rect.height) {
                icon = &r;
            }
        }
        ASSERT_NE(name, nullptr) << game.indicator;
        ASSERT_NE(icon, nullptr) << game.indicator;
        EXPECT_EQ(name->caption, game.displayName);
        EXPECT_EQ(name->rect.height, 255);
        const bool firstRow = tick.rect.top == 690;
        EXPECT_EQ(icon->rect.top, tick.rect.top - (firstRow ? 180 : 165)) << icon->name;
        EXPECT_EQ(icon->rect.width, 480);
        EXPECT_EQ(icon->rect.height, 480);
        EXPECT_LT(tick.rect.left, icon->rect.left);
        EXPECT_LT(icon->rect.left + icon->rect.width, name->rect.left);
        iconOf[game.controlPrefix] = icon->picture;
    }

    // The same picture again on the game's path row; shared only where the games are alike.
    std::map<std::string_view, std::vector<std::string_view>> gamesOf;
    for (const auto& [prefix, picture] : iconOf) {
        gamesOf[picture].push_back(prefix);
    }
    EXPECT_EQ(gamesOf.size(), 11u);
    EXPECT_EQ(gamesOf[iconOf["ja"]], (std::vector<std::string_view>{"ja", "jo"}));
    EXPECT_EQ(gamesOf[iconOf["ut"]], (std::vector<std::string_view>{"ut", "ut2k4"}));
    for (const ControlRow& r : layout::rows()) {
        if (r.container != "hl_exe" || r.kind != Kind::Edit) {
            continue;
        }
        const std::string_view prefix = r.name.substr(0, r.name.size() - 5);
        const ControlRow* icon = nullptr;
        for (const ControlRow& other : layout::rows()) {
            if (other.container == "hl_exe" && other.kind == Kind::Picture &&
                other.rect.top <= r.rect.top && r.rect.top < other.rect.top + other.rect.height &&
                (other.rect.left < 4800) == (r.rect.left < 4800)) {
                icon = &other;
            }
        }
        ASSERT_NE(icon, nullptr) << r.name;
        EXPECT_EQ(icon->picture, iconOf[prefix]) << r.name;
    }
}

TEST(Layout, EveryGameHasALockedPathRow) {
    for (const GameEntry& game : GameCatalogue) {
        const std::string p(game.controlPrefix);
        const ControlRow& path = row(p + "_path");
        const ControlRow& browse = row("btn_" + p);
        const ControlRow& box = row(p + "_chk");
        for (const ControlRow* r : {&path, &browse, &box}) {
            EXPECT_EQ(r->container, "hl_exe") << r->name;
        }
        EXPECT_EQ(path.kind, Kind::Edit);
        EXPECT_EQ(path.caption, "");
        EXPECT_FALSE(path.enabled) << p;
        EXPECT_EQ(path.rect.width, 1815);
        EXPECT_EQ(path.rect.height, 375);
        EXPECT_EQ(browse.kind, Kind::Button);
        EXPECT_EQ(browse.caption, "...");
        EXPECT_FALSE(browse.enabled) << p;
        EXPECT_EQ(browse.rect.top, path.rect.top) << p;
        EXPECT_EQ(browse.rect.left, path.rect.left + 2040) << p;
        EXPECT_EQ(box.kind, Kind::CheckBox);
        EXPECT_EQ(box.caption, "") << "a row's box shows no caption";
        EXPECT_TRUE(box.enabled);
        EXPECT_GT(box.rect.left, browse.rect.left + browse.rect.width) << p;

        // The short label: left of the path box, on the same row.
        const ControlRow* label = nullptr;
        for (const ControlRow& r : layout::rows()) {
            if (r.container == "hl_exe" && r.kind == Kind::Label && r.rect.left < path.rect.left &&
                r.rect.left + 1200 > path.rect.left && r.rect.top >= path.rect.top &&
                r.rect.top < path.rect.top + path.rect.height) {
                label = &r;
            }
        }
        ASSERT_NE(label, nullptr) << p;
        EXPECT_EQ(label->caption, game.shortLabel) << p;
    }
}

TEST(Layout, CommandsCarryTheirMnemonics) {
    struct Case {
        std::string_view name;
        std::string_view container;
        std::string_view caption;
    };
    for (const Case& c :
         {Case{"btn_quitter", "Form1", "&Quitter"}, Case{"btn_appliquer", "hl_exe", "&Appliquer"},
          Case{"btn_annuler", "hl_exe", "&Annuler"}, Case{"btn_options", "Frame2", "&Appliquer"},
          Case{"btn_defaut", "Frame4", "&Défaut"}}) {
        const ControlRow& r = row(c.name);
        EXPECT_EQ(r.kind, Kind::Button) << c.name;
        EXPECT_EQ(r.container, c.container) << c.name;
        EXPECT_EQ(r.caption, c.caption) << c.name;
    }
}

TEST(Layout, TwipsBecomePixelsAsMulDivRoundsThem) {
    struct Case {
        int twips;
        int dpi;
        int pixels;
    };
    for (const Case& c :
         {Case{10125, 96, 675}, Case{9150, 96, 610}, Case{150, 96, 10}, Case{150, 144, 15},
          Case{480, 192, 64}, Case{7, 96, 0}, Case{8, 96, 1}, Case{-8, 96, -1}, Case{-7, 96, 0},
          Case{1440, 120, 120}, Case{255, 120, 21}, Case{2000000, 192, 266667}}) {
        EXPECT_EQ(layout::toPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

TEST(Layout, TheTickIsTheRedVOfTenByTenPixels) {
    // Red columns of each row, top row first.
    const std::vector<std::vector<int>> red{{},        {0, 9},       {0, 1, 8},       {1, 7, 8},
                                            {1, 2, 7}, {2, 3, 6, 7}, {2, 3, 4, 5, 6}, {3, 4, 5},
                                            {4, 5},    {4}};
    for (int y = 0; y < 10; ++y) {
        ASSERT_EQ(layout::kTick[y].size(), 10u);
        std::vector<int> columns;
        for (int x = 0; x < 10; ++x) {
            if (layout::kTick[y][x] == '#') {
                columns.push_back(x);
            } else {
                EXPECT_EQ(layout::kTick[y][x], '.');
            }
        }
        EXPECT_EQ(columns, red[y]) << "row " << y;
    }
}

} // namespace
} // namespace quellix
