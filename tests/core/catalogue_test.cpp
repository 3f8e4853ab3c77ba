#include "config/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quellix {
namespace {

TEST(Catalogue, FindsRowsByExactLinkKey) {
    struct Case {
        std::string_view key;
        std::string_view section; // empty: no row
    };
    for (auto [key, section] :
         {Case{"ut2003", "UT2003"}, Case{"UT2003", ""}, Case{"q3", "q3"}, Case{"Q3", ""},
          Case{"mohaa", "mohaa"}, Case{"moh", ""}, Case{"ut", ""}, Case{"", ""}, Case{"q3 ", ""}}) {
        const GameEntry* row = findByLinkKey(key);
        EXPECT_EQ(row == nullptr ? "" : row->section, section) << key;
    }
}

TEST(Catalogue, KeysOfEachKindAreUniqueAndIndicatorsFollowLinkKeys) {
    std::set<std::string_view> links, sections, prefixes;
    for (const GameEntry& game : GameCatalogue) {
        EXPECT_TRUE(links.insert(game.linkKey).second) << game.linkKey;
        EXPECT_TRUE(sections.insert(game.section).second) << game.section;
        EXPECT_TRUE(prefixes.insert(game.controlPrefix).second) << game.controlPrefix;
        EXPECT_EQ(game.indicator, "valid_" + std::string(game.linkKey));
        EXPECT_EQ(findByControlPrefix(game.controlPrefix), &game);
    }
    // The detection key and the control prefixes of two rows are never a section or a link key.
    for (std::string_view name : {"ut", "moh"}) {
        EXPECT_FALSE(links.contains(name));
        EXPECT_FALSE(sections.contains(name));
    }
}

} // namespace
} // namespace quellix
