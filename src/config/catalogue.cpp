#include "config/catalogue.h"

#include <algorithm>

namespace quellix {

const GameEntry* findByLinkKey(std::string_view linkKey) {
    auto it = std::ranges::find(GameCatalogue, linkKey, &GameEntry::linkKey);
    return it == GameCatalogue.end() ? nullptr : &*it;
}

const GameEntry* findByControlPrefix(std::string_view prefix) {
    auto it = std::ranges::find(GameCatalogue, prefix, &GameEntry::controlPrefix);
    return it == GameCatalogue.end() ? nullptr : &*it;
}

} // namespace quellix
