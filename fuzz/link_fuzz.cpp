// An arbitrary command line handed to the start-up sequence of a machine on which every game is
// configured and present. Either nothing starts, or the game starts with exactly its own command
// line, in which the link's server address and password hold nothing that a game could read as a
// switch, a console command or a further argument.
//
// The expected command lines and the character rules are written out here on their own, from the
// games' documented command lines, so that a fault in the launcher's tables cannot hide itself.

#include "fuzz_support.h"

#include "launch/link.h"
#include "launch/startup.h"

#include "test_system.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quellix::fuzz {
namespace {

// One game as the player's machine holds it, and how it must be started.
struct Game {
    std::string_view key;
    std::string_view section;    // as the default configuration writes it
    std::string_view executable; // file name of the configured executable
    bool entersFolder;
    bool startsJk2mp; // "jo": GameData\jk2mp.exe is started in place of the configured file
    // The argument text is `before`, first, `between`, second; the password comes first only for
    // "bf". `beforeWithAcceleration` replaces `before` unless the option reads exactly "0".
    std::string_view before;
    std::string_view beforeWithAcceleration;
    std::string_view between;
    bool passwordFirst;
};

// clang-format off
constexpr std::array<Game, 13> kGames{{
    {"dod", "dod", "hl.exe", true, false,
     " -console -game dod -toconsole +connect ",
     " -console -game dod -toconsole -noforcemparms -noforcemaccel +connect ", " +password ", false},
    {"shl", "shl", "hl.exe", true, false,
     "+connect ", " -noforcemparms -noforcemaccel +connect ", " +password ", false},
    {"scs", "scs", "hl.exe", true, false,
     " -console -game cstrike -toconsole +connect ",
     " -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect ", " +password ",
     false},
    {"stfc", "stfc", "hl.exe", true, false,
     " -console -game cstrike -toconsole +connect ",
     " -console -game cstrike -toconsole -noforcemparms -noforcemaccel +connect ", " +password ",
     false},
    {"ja", "ja", "jamp.exe", true, false, " +connect ", "", " +password ", false},
    {"jo", "jo", "JediOutcast.exe", true, true, " +connect ", "", " +password ", false},
    {"q3", "q3", "quake3.exe", true, false, " +connect ", "", " +password ", false},
    {"ut2003", "UT2003", "UT2003.exe", false, false, " ", "", "?password=", false},
    {"mohaa", "mohaa", "MOHAA.exe", true, false, " +connect ", "", " +password ", false},
    {"ut2k4", "ut2k4", "UT2004.exe", false, false, " ", "", "?password=", false},
    {"ef2", "ef2", "EF2.exe", true, false, " +set developer 1 +connect ", "", " +password ", false},
    {"bf", "bf", "BF1942.exe", true, false, " +password ", "", " +restart 1 +joinServer ", true},
    {"cod", "cod", "CoDMP.exe", true, false, " +connect ", "", " +password ", false},
}};
// clang-format on

// The folder of every game holds a blank and an accented letter (stored in the 8-bit code page).
std::string gameFolder(const Game& game) {
    return "C:\\Jeux vid\xC3\xA9o\\" + std::string(game.section) + " 1\\";
}

const Game* findGame(std::string_view key) {
    for (const Game& game : kGames) {
        if (game.key == key) {
            return &game;
        }
    }
    return nullptr;
}

// What may reach a game from a page: printable ASCII without the characters that split a command
// line or start a console command, and no leading "-" that would read as a switch.
bool safeForGame(std::string_view text) {
    constexpr std::string_view kForbidden = " +;=\"?#\\/";
    if (!text.empty() && text.front() == '-') {
        return false;
    }
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || kForbidden.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// Texts that every real server link looks like: these must always be launched.
bool plainlyFine(std::string_view text, std::size_t minLength, std::size_t maxLength,
                 std::string_view punctuation) {
    if (text.size() < minLength || text.size() > maxLength) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && (i == 0 || punctuation.find(c) == std::string_view::npos)) {
            return false;
        }
    }
    return true;
}

struct Options {
    std::string_view acceleration; // the line written in [General]; empty: no such line
    bool plainArguments;           // the option reads exactly "0"
    bool asks;
    bool answerOk;
    bool withProgramName;
};

Options options(std::uint8_t bits) {
    constexpr std::array<std::string_view, 4> kAcceleration{"acceleration=0", "acceleration=1", "",
                                                            "acceleration= 0\t"};
    Options o{};
    o.acceleration = kAcceleration[bits & 3u];
    o.plainArguments = (bits & 3u) == 0 || (bits & 3u) == 3;
    o.asks = (bits & 4u) != 0;
    o.answerOk = (bits & 8u) != 0;
    o.withProgramName = (bits & 16u) == 0;
    return o;
}

std::string configuration(const Options& o) {
    std::string file = "[General]\r\nsansvalidation=" + std::string(o.asks ? "0" : "1") + "\r\n";
    if (!o.acceleration.empty()) {
        file += std::string(o.acceleration) + "\r\n";
    }
    for (const Game& game : kGames) {
        // The 8-bit form of the folder: "é" is one byte in the code page.
        std::string folder = gameFolder(game);
        folder.replace(folder.find("\xC3\xA9"), 2, "\xE9");
        file += "[" + std::string(game.section) + "]\r\nPath=" + folder +
                std::string(game.executable) + "\r\npresent=1\r\n";
    }
    return file;
}

void install(test::TestSystem& sys, const Options& o) {
    sys.files.files["C:\\Quellix\\config.ini"].bytes = configuration(o);
    for (const Game& game : kGames) {
        std::string folder = gameFolder(game);
        sys.files.files[folder + std::string(game.executable)] = {};
        sys.process.enterableFolders.insert(folder);
        sys.process.enterableFolders.insert(folder + "GameData\\");
    }
    sys.dialogs.answers.push_back(o.answerOk ? Answer::Ok : Answer::Cancel);
}

std::string expectedArguments(const Game& game, const Options& o, std::string_view server,
                              std::string_view password) {
    std::string_view before = game.before;
    if (!game.beforeWithAcceleration.empty() && !o.plainArguments) {
        before = game.beforeWithAcceleration;
    }
    std::string_view first = game.passwordFirst ? password : server;
    std::string_view second = game.passwordFirst ? server : password;
    return std::string(before) + std::string(first) + std::string(game.between) +
           std::string(second);
}

void checkStarted(test::TestSystem& sys, const Options& o, const std::string& raw) {
    const LaunchLink link = LireLien(sys.process);
    require(!isNoLink(link) && link.size() >= 5, "a game started without a whole link", raw);
    const Game* game = findGame(link[3]);
    require(game != nullptr, "a game started for a key outside the catalogue", link[3]);
    const std::string& server = link[2];
    const std::string& password = link[4];
    require(!server.empty() && safeForGame(server), "an unsafe server address reached a game",
            server);
    require(safeForGame(password), "an unsafe password reached a game", password);
    require(raw.find(server) != std::string::npos && raw.find(password) != std::string::npos,
            "the game got a server or password that the command line does not hold", raw);

    const test::FakeProcess::Started& started = sys.process.started.front();
    const std::string folder = gameFolder(*game);
    const std::string program =
        game->startsJk2mp ? folder + "GameData\\jk2mp.exe" : folder + std::string(game->executable);
    const std::string expected =
        "\"" + program + "\" " + expectedArguments(*game, o, server, password);
    require(started.executable == program, "wrong program started", started.executable);
    require(started.commandLine == expected, "wrong command line",
            started.commandLine + "\nexpected:\n" + expected);
    const std::string expectedFolder = !game->entersFolder ? std::string("C:\\Users\\joueur")
                                       : game->startsJk2mp ? folder + "GameData\\"
                                                           : folder;
    require(started.currentFolder == expectedFolder, "started in the wrong folder",
            started.currentFolder);

    if (o.asks) {
        require(sys.dialogs.messages.size() == 1 &&
                    sys.dialogs.messages[0].text == "Voulez vous lancer " + link[3] + " ?" &&
                    sys.dialogs.messages[0].buttons == Buttons::OkCancel && o.answerOk,
                "started without the question answered OK", raw);
    } else {
        require(sys.dialogs.messages.empty(), "a message before a game that starts unasked", raw);
    }
}

void checkNothingStarted(test::TestSystem& sys, const Options& o, const std::string& raw) {
    const LaunchLink link = LireLien(sys.process);
    if (isNoLink(link) || link.size() < 5 || findGame(link[3]) == nullptr) {
        return;
    }
    const bool ordinary = plainlyFine(link[2], 1, 64, ".:") && plainlyFine(link[4], 0, 32, "");
    require(!ordinary || (o.asks && !o.answerOk), "an ordinary link started nothing", raw);
}

} // namespace
} // namespace quellix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellix;
    using namespace quellix::fuzz;
    ByteReader input(data, size);
    const Options o = options(input.byte());
    const std::string raw = input.rest();

    test::TestSystem sys;
    install(sys, o);
    const std::string configBefore = sys.files.files["C:\\Quellix\\config.ini"].bytes;
    sys.process.line = o.withProgramName ? "\"C:\\Quellix\\quellix.exe\" " + raw : raw;

    const StartupResult result = runStartup(sys.os);

    require(sys.process.started.size() <= 1, "more than one process started", raw);
    require(sys.dialogs.messages.size() <= 1, "more than one message shown", raw);
    require(sys.files.files["C:\\Quellix\\config.ini"].bytes == configBefore,
            "a launch changed config.ini", raw);
    if (sys.process.started.empty()) {
        checkNothingStarted(sys, o, raw);
    } else {
        require(!result.showWindow, "the window is shown after a game started", raw);
        checkStarted(sys, o, raw);
    }
    return 0;
}
