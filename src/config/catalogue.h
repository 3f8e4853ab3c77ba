#pragma once
// The thirteen supported games and the keys under which each is known.

#include <array>
#include <string_view>

namespace quellix {

struct GameEntry {
    std::string_view displayName;   // caption on the game tabs
    std::string_view shortLabel;    // caption beside the path box
    std::string_view linkKey;       // game element of a vx link, compared with case
    std::string_view section;       // section of config.ini
    std::string_view detectionKey;  // selects the registry rule of install detection
    std::string_view controlPrefix; // <p>_path, btn_<p>, <p>_chk
    std::string_view indicator;     // valid_<link key>
};

// clang-format off
inline constexpr std::array<GameEntry, 13> GameCatalogue{{
    {"Steam Day Of Defeat",        "DoD",   "dod",    "dod",    "dod",    "dod",   "valid_dod"},
    {"Steam Half-Life",            "SHL",   "shl",    "shl",    "shl",    "shl",   "valid_shl"},
    {"Steam Counter Strike",       "SCS",   "scs",    "scs",    "scs",    "scs",   "valid_scs"},
    {"SteamTeam Fortress Classic", "STFC",  "stfc",   "stfc",   "stfc",   "stfc",  "valid_stfc"},
    {"Jedi Academy",               "JA",    "ja",     "ja",     "ja",     "ja",    "valid_ja"},
    {"Jedi Outcast",               "JO",    "jo",     "jo",     "jo",     "jo",    "valid_jo"},
    {"Quake 3",                    "Q3",    "q3",     "q3",     "q3",     "q3",    "valid_q3"},
    {"Unreal Tournament 2003",     "UT2K3", "ut2003", "UT2003", "ut",     "ut",    "valid_ut2003"},
    {"Medal Of Honor",             "MOH",   "mohaa",  "mohaa",  "mohaa",  "moh",   "valid_mohaa"},
    {"Unreal Tournament  2004",    "UT2K4", "ut2k4",  "ut2k4",  "ut2k4",  "ut2k4", "valid_ut2k4"},
    {"Elite Force 2",              "EF2",   "ef2",    "ef2",    "ef2",    "ef2",   "valid_ef2"},
    {"Battlefield 1942",           "BF",    "bf",     "bf",     "bf",     "bf",    "valid_bf"},
    {"Call Of Duty",               "CoD",   "cod",    "cod",    "cod",    "cod",   "valid_cod"},
}};
// clang-format on

// The row whose link key is exactly `linkKey`, or null.
const GameEntry* findByLinkKey(std::string_view linkKey);
// The row whose control prefix is exactly `prefix`, or null.
const GameEntry* findByControlPrefix(std::string_view prefix);

} // namespace quellix
