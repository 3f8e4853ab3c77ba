#pragma once
// The command buttons of the window: save the game rows, discard their edits, save the options,
// reset everything to the defaults.

#include "ports.h"
#include "ui/controls.h"

namespace quellix {

// Shown once when a save command could not write everything.
inline constexpr const char* kSaveFailed = "Les paramètres n'ont pas pu être enregistrés.";
// Shown before the path, when a path to apply has characters config.ini cannot hold.
inline constexpr const char* kPathNotStorable =
    "Ce chemin contient des caractères que config.ini ne peut pas enregistrer ; rien n'a été "
    "enregistré :\n";
inline constexpr const char* kResetQuestion =
    "Voulez vous vraiment réinitialiser tous les paramètres ?";

// `btn_appliquer_Click`: stores the path and presence of every unlocked row, locks every row and
// refreshes the presence ticks. A path that the file cannot hold stops it before any write.
void appliquerClicked(const System& os, Controls& controls);

// `btn_annuler_Click`: locks every row and reloads every path box from the file.
void annulerClicked(const System& os, Controls& controls);

// `btn_options_Click`: stores the two option boxes as "0" or "1".
void optionsClicked(const System& os, Controls& controls);

// `btn_defaut_Click`: after the user's OK, writes the default configuration and reloads the window.
void defautClicked(const System& os, Controls& controls);

} // namespace quellix
