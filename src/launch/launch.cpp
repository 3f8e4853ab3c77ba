#include "launch/launch.h"

#include "config/settings.h"
#include "launch/game_commands.h"
#include "launch/link_check.h"

#include <optional>

namespace quellix {

namespace {

constexpr std::string_view kInvalidLink = "Ce lien de lancement n'est pas valide.";
constexpr std::string_view kNotInstalled = " n'est pas installé sur cette machine";
constexpr std::string_view kNotFound = "Le Quellix Vorbanix n'a pas trouvé l'exécutable";
constexpr std::string_view kStartFailed = "Le Quellix Vorbanix n'a pas pu lancer le jeu.";

LaunchOutcome tell(const System& os, std::string_view text, LaunchOutcome outcome) {
    os.dialogs.showMessage(std::string(text), Buttons::Ok);
    return outcome;
}

} // namespace

LaunchOutcome LancerJeu(const System& os, const std::string& server, const std::string& gameKey,
                        const std::string& password) {
    const GameCommand* game = findGameCommand(gameKey);
    if (game == nullptr) {
        return LaunchOutcome::UnknownGame;
    }
    // Checked before anything is read or changed: a page must not reach the game's command line.
    if (!isAllowedServerAddress(server) || !isAllowedPassword(password)) {
        return tell(os, kInvalidLink, LaunchOutcome::InvalidLink);
    }
    // One reading of config.ini for every setting the launch needs.
    const std::optional<std::string> config = os.files.readFile(configPath(os.process));
    if (EtatChemin(os.ansi, config, gameKey) == "0") {
        return tell(os, gameKey + std::string(kNotInstalled), LaunchOutcome::NotInstalled);
    }
    std::string acceleration;
    if (!game->argumentsWithAcceleration.empty()) {
        acceleration = LireIni(os.ansi, config, "general", "acceleration", "");
    }
    const std::string arguments = gameArguments(*game, server, password, acceleration);
    const std::string executable = LireIni(os.ansi, config, gameKey, "path", "");

    std::string program = executable;
    if (game->entersGameFolder) {
        std::string folder = executableFolder(executable);
        if (folder.empty()) {
            return tell(os, kNotFound, LaunchOutcome::ExecutableNotFound);
        }
        folder += game->subfolder;
        if (!os.process.setCurrentFolder(folder)) {
            return tell(os, kNotFound, LaunchOutcome::ExecutableNotFound);
        }
        if (!game->program.empty()) {
            program = folder + std::string(game->program);
        }
    }
    if (!os.files.fileExists(executable)) {
        return tell(os, kNotFound, LaunchOutcome::ExecutableNotFound);
    }
    // The program path is quoted so that a folder with blanks cannot be taken for another program.
    const std::string commandLine = "\"" + program + "\" " + arguments;

    if (LireIni(os.ansi, config, "general", "sansvalidation", "") == "0" &&
        os.dialogs.showMessage("Voulez vous lancer " + gameKey + " ?", Buttons::OkCancel) !=
            Answer::Ok) {
        return LaunchOutcome::Cancelled;
    }
    if (!os.process.startMinimized(program, commandLine)) {
        return tell(os, kStartFailed, LaunchOutcome::StartFailed);
    }
    return LaunchOutcome::Started;
}

LaunchOutcome launchFromLink(const System& os, const LaunchLink& link) {
    if (link.size() < 5) {
        return tell(os, kInvalidLink, LaunchOutcome::InvalidLink);
    }
    return LancerJeu(os, link[2], link[3], link[4]);
}

} // namespace quellix
