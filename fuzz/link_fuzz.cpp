// An arbitrary command line handed to the start-up sequence of a machine on which every game is
// configured. At most one game starts, only when the question (if asked) was answered OK, and the
// link's server address and password reach it, percent-decoded, holding nothing that a game could
// read as a switch, a console command or a further argument; config.ini is never changed. The first
// byte chooses the options.

#include "launch/link.h"
#include "launch/startup.h"
#include "property.h"
#include "test_system.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace quellix;

// Printable ASCII without the characters that split a command line or start a console command,
// and no leading "-" that would read as a switch.
bool safeForGame(std::string_view text) {
    return !text.starts_with('-') && text.find_first_of("+;=\"?#\\/") == text.npos &&
           std::ranges::all_of(text, [](char c) { return c > ' ' && c < 0x7F; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const unsigned bits = size > 0 ? data[0] : 0;
    const std::string raw(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                          size > 0 ? size - 1 : 0);
    const bool asks = (bits & 4) != 0, answersOk = (bits & 8) != 0;
    const char* acceleration[] = {"0", "1", "", " 0\t"};
    const std::string keys[] = {"dod",    "shl",   "scs",   "stfc", "ja", "jo", "q3",
                                "ut2003", "mohaa", "ut2k4", "ef2",  "bf", "cod"};

    test::TestSystem t;
    std::string config = std::string("[General]\r\nsansvalidation=") + (asks ? "0" : "1") +
                         "\r\nacceleration=" + acceleration[bits & 3] + "\r\n";
    for (const std::string& key : keys) { // section names are read without regard to case
        const std::string folder = "C:\\Jeux\\" + key + "\\";
        config += "[" + key + "]\r\nPath=" + folder + "jeu.exe\r\npresent=1\r\n";
        t.files.files[folder + "jeu.exe"] = {};
        t.process.enterable.insert({folder, folder + "GameData\\"});
    }
    t.files.files[t.config].bytes = config;
    t.dialogs.answers = {answersOk ? Answer::Ok : Answer::Cancel};
    t.process.line = (bits & 16) != 0 ? raw : "\"C:\\Quellix\\quellix.exe\" " + raw;

    const bool window = runStartup(t.os).showWindow;

    require(t.process.started.size() <= 1 && t.dialogs.shown.size() <= 1,
            "more than one game or message", raw);
    require(t.files.files[t.config].bytes == config, "a launch changed config.ini", raw);
    if (t.process.started.empty()) {
        return 0; // that ordinary links do start, the games' table shows
    }
    const LaunchLink link = LireLien(t.process);
    require(!window && link.size() >= 5 && std::ranges::count(keys, link[3]) == 1,
            "a game started without a whole link to a known game", raw);
    const std::string &server = link[2], &password = link[4],
                      &line = t.process.started[0].commandLine;
    require(!server.empty() && safeForGame(server) && safeForGame(password),
            "an unsafe server or password reached a game", raw);
    require(line.find(" " + server) != line.npos && line.find(password) != line.npos,
            "the game did not get the link's server and password", line);
    const std::string question = "Voulez vous lancer " + link[3] + " ? [OK|Annuler]";
    require(asks ? answersOk && t.dialogs.shown == std::vector{question} : t.dialogs.shown.empty(),
            "started without the question answered OK, or asked unasked", raw);
    return 0;
}
