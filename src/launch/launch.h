#pragma once
// Starting a game from the three useful elements of a link.

#include "launch/link.h"
#include "ports.h"

#include <string>

namespace quellix {

enum class LaunchOutcome {
    UnknownGame,        // nothing shown
    InvalidLink,        // "Ce lien de lancement n'est pas valide."
    NotInstalled,       // "<key> n'est pas installé sur cette machine"
    ExecutableNotFound, // "Le Quellix Vorbanix n'a pas trouvé l'exécutable"
    Cancelled,          // the question answered Cancel
    StartFailed,        // "Le Quellix Vorbanix n'a pas pu lancer le jeu."
    Started,
};

// Finds the game's executable in config.ini, enters its folder, asks when the user wants to be
// asked, and starts it minimized. The caller ends the program whatever the outcome.
LaunchOutcome LancerJeu(const System& os, const std::string& server, const std::string& gameKey,
                        const std::string& password);

// Launches what a link (not the "vide" marker) asks for; a link of fewer than five elements is
// reported as not valid.
LaunchOutcome launchFromLink(const System& os, const LaunchLink& link);

} // namespace quellix
