#pragma once
// How each game joins a server: the folder it starts in, the program started, and its arguments.

#include <string>
#include <string_view>

namespace quellix {

struct GameCommand {
    std::string_view linkKey;
    bool entersGameFolder;      // false: the game starts in the launcher's current folder
    std::string_view subfolder; // appended to the executable's folder
    std::string_view program;   // started in place of the configured executable; empty: the latter
    // "{server}" and "{password}" mark where the link's server address and password go.
    std::string_view arguments;
    // The variant used unless "acceleration" is exactly "0"; empty when the game has none.
    std::string_view argumentsWithAcceleration;
};

// The row of `linkKey` (exact comparison), or null.
const GameCommand* findGameCommand(std::string_view linkKey);

// The argument text for the server and password, with the mouse-acceleration switches unless the
// "acceleration" option reads exactly "0".
std::string gameArguments(const GameCommand& game, std::string_view server,
                          std::string_view password, std::string_view accelerationOption);

// The folder of a configured executable: up to and including its last backslash; empty when the
// path has no backslash.
std::string executableFolder(std::string_view executablePath);

} // namespace quellix
