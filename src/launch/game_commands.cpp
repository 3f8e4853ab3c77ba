#include "launch/game_commands.h"

#include <algorithm>
#include <array>

namespace quellix {

namespace {

constexpr std::string_view kServer = "{server}";
constexpr std::string_view kPassword = "{password}";

// clang-format off
constexpr std::array<GameCommand, 13> kGameCommands{{
    {"dod",    true,  "", "",
     " -console -game dod -toconsole +connect {server} +password {password}",
     " -console -game dod -toconsole -noforcemparms -noforcemaccel +connect {server} +password {password}"},
    {"shl",    true,  "", "",
     "+connect {server} +password {password}",
     " -noforcemparms -noforcemaccel +connect {server} +password {password}"},
    {"scs",    true,  "", "",
     " -console -game cstrike -toconsole +connect {server} +password {password}",
     " -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect {server} +password {password}"},
    {"stfc",   true,  "", "",
     " -console -game tfc -toconsole +connect {server} +password {password}",
     " -console -game tfc -toconsole -noforcemparms -noforcemaccel +connect {server} +password {password}"},
    {"q3",     true,  "", "",                   " +connect {server} +password {password}", ""},
    {"ut2003", false, "", "",                   " {server}?password={password}", ""},
    {"mohaa",  true,  "", "",                   " +connect {server} +password {password}", ""},
    {"ja",     true,  "", "",                   " +connect {server} +password {password}", ""},
    {"jo",     true,  "GameData\\", "jk2mp.exe", " +connect {server} +password {password}", ""},
    {"ef2",    true,  "", "",                   " +set developer 1 +connect {server} +password {password}", ""},
    {"bf",     true,  "", "",                   " +password {password} +restart 1 +joinServer {server}", ""},
    {"ut2k4",  false, "", "",                   " {server}?password={password}", ""},
    {"cod",    true,  "", "",                   " +connect {server} +password {password}", ""},
}};
// clang-format on

// Fills the markers of a template; the inserted texts are never searched for markers themselves.
std::string expand(std::string_view text, std::string_view server, std::string_view password) {
    std::string result;
    while (!text.empty()) {
        size_t brace = text.find('{');
        result += text.substr(0, brace);
        if (brace == std::string_view::npos) {
            break;
        }
        text.remove_prefix(brace);
        if (text.starts_with(kServer)) {
            result += server;
            text.remove_prefix(kServer.size());
        } else if (text.starts_with(kPassword)) {
            result += password;
            text.remove_prefix(kPassword.size());
        } else {
            result += '{';
            text.remove_prefix(1);
        }
    }
    return result;
}

} // namespace

const GameCommand* findGameCommand(std::string_view linkKey) {
    auto it = std::ranges::find(kGameCommands, linkKey, &GameCommand::linkKey);
    return it == kGameCommands.end() ? nullptr : &*it;
}

std::string gameArguments(const GameCommand& game, std::string_view server,
                          std::string_view password, std::string_view accelerationOption) {
    bool withAcceleration = !game.argumentsWithAcceleration.empty() && accelerationOption != "0";
    return expand(withAcceleration ? game.argumentsWithAcceleration : game.arguments, server,
                  password);
}

std::string executableFolder(std::string_view executablePath) {
    size_t slash = executablePath.rfind('\\');
    return slash == std::string_view::npos ? std::string()
                                           : std::string(executablePath.substr(0, slash + 1));
}

} // namespace quellix
