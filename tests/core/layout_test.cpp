#include "config/catalogue.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>

namespace quellix {
namespace {

using layout::ControlRow;
using layout::Kind;

const ControlRow& row(std::string_view name) {
    static const ControlRow missing{};
    const ControlRow* found = layout::find(name);
    EXPECT_NE(found, nullptr) << name;
    return found != nullptr ? *found : missing;
}

// The one row of `container` that `match` accepts; null (and a failure) when none or several.
const ControlRow* only(std::string_view container,
                       const std::function<bool(const ControlRow&)>& match) {
    const ControlRow* found = nullptr;
    for (const ControlRow& r : layout::rows()) {
        if (r.container == container && match(r)) {
            EXPECT_EQ(found, nullptr) << "both " << found->name << " and " << r.name;
            found = &r;
        }
    }
    EXPECT_NE(found, nullptr) << "none in " << container;
    return found;
}

TEST(Layout, NamesAreUniqueAndEveryControlLiesInsideItsContainer) {
    EXPECT_EQ(layout::rows().front().name, "Form1");
    std::set<std::string_view> seen;
    for (const ControlRow& r : layout::rows()) {
        EXPECT_TRUE(r.kind == Kind::Window || seen.contains(r.container)) << r.name;
        EXPECT_TRUE(seen.insert(r.name).second) << "two controls named " << r.name;
        if (r.kind == Kind::Window || r.kind == Kind::Page || r.kind == Kind::FileDialog) {
            continue;
        }
        const ControlRow& parent = row(layout::geometryParent(r));
        EXPECT_TRUE(r.rect.left >= 0 && r.rect.top >= 0 &&
                    r.rect.left + r.rect.width <= parent.rect.width &&
                    r.rect.top + r.rect.height <= parent.rect.height)
            << r.name;
    }
}

// A row's kind, caption, enabled and visible settings, and the container it is in.
auto settings(const ControlRow& r) {
    return std::tuple(r.kind, r.caption, r.enabled, r.visible, r.container);
}

TEST(Layout, EveryGameHasItsTickNameAndLockedPathRow) {
    std::set<std::string_view> ticks;
    for (size_t i = 0; i < GameCatalogue.size(); ++i) {
        const GameEntry& game = GameCatalogue[i];
        const std::string p(game.controlPrefix);
        SCOPED_TRACE(p);
        const ControlRow& tick = row(game.indicator);
        const std::string_view frame = i < 9 ? "Frame1" : "Frame3";
        EXPECT_EQ(settings(tick), std::tuple(Kind::Picture, "", true, false, frame));
        EXPECT_EQ(tick.picture, "tick");
        EXPECT_TRUE(tick.rect.width == 150 && tick.rect.height == 150);
        EXPECT_TRUE(ticks.insert(tick.name).second) << "a tick shared with another game";
        // The name level with the tick, right of it.
        const ControlRow* name = only(frame, [&](const ControlRow& r) {
            return r.kind == Kind::Label && r.rect.top == tick.rect.top;
        });
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->caption, game.displayName);
        EXPECT_GT(name->rect.left, tick.rect.left);

        const ControlRow& path = row(p + "_path");
        const ControlRow& browse = row("btn_" + p);
        const ControlRow& box = row(p + "_chk");
        EXPECT_EQ(settings(path), std::tuple(Kind::Edit, "", false, true, "hl_exe"));
        EXPECT_EQ(settings(browse), std::tuple(Kind::Button, "...", false, true, "hl_exe"));
        EXPECT_EQ(settings(box), std::tuple(Kind::CheckBox, "", true, true, "hl_exe"));
        EXPECT_EQ(browse.rect.top, path.rect.top);
        EXPECT_EQ(browse.rect.left, path.rect.left + 2040);
        EXPECT_GT(box.rect.left, browse.rect.left + browse.rect.width);
        const ControlRow* label = only("hl_exe", [&](const ControlRow& r) {
            return r.kind == Kind::Label && r.rect.left < path.rect.left &&
                   r.rect.left + 1200 > path.rect.left && r.rect.top >= path.rect.top &&
                   r.rect.top < path.rect.top + path.rect.height;
        });
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->caption, game.shortLabel);
    }
}

TEST(Layout, CommandsCarryTheirMnemonics) {
    using Case = std::tuple<std::string_view, std::string_view, std::string_view>;
    for (const auto& [name, container, caption] :
         {Case{"btn_quitter", "Form1", "&Quitter"}, Case{"btn_appliquer", "hl_exe", "&Appliquer"},
          Case{"btn_annuler", "hl_exe", "&Annuler"}, Case{"btn_options", "Frame2", "&Appliquer"},
          Case{"btn_defaut", "Frame4", "&Défaut"}}) {
        EXPECT_EQ(settings(row(name)), std::tuple(Kind::Button, caption, true, true, container));
    }
}

TEST(Layout, TwipsBecomePixelsAsMulDivRoundsThem) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (const Case& c :
         {Case{10125, 96, 675}, Case{150, 144, 15}, Case{7, 96, 0}, Case{8, 96, 1},
          Case{-8, 96, -1}, Case{-7, 96, 0}, Case{255, 120, 21}, Case{2000000, 192, 266667}}) {
        EXPECT_EQ(layout::toPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

} // namespace
} // namespace quellix
