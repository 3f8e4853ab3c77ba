#pragma once
// The window shown when the launcher is started without a link.

#include "ports.h"
#include "ui/layout.h"
#include "windows/dialogs_win.h"

#include <string_view>

namespace quellix::win {

inline constexpr const char* kConfigNotCreated =
    "Le Quellix Vorbanix ne peut pas créer son fichier config.ini : les paramètres ne seront pas "
    "enregistrés.";

// Creates Form1, fills it from config.ini, tells the user once when config.ini could not be
// created, shows the window, starts both banners on `bannerAddress` once it has drawn itself, and
// runs it until the user leaves. Returns the program's exit code.
int runMainWindow(const System& os, WindowsDialogs& dialogs, bool configCouldNotBeCreated,
                  std::string_view bannerAddress = layout::kBannerAddress);

} // namespace quellix::win
