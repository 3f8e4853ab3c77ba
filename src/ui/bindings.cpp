#include "ui/bindings.h"

#include "ui/commands.h"
#include "ui/game_rows.h"

#include <string>

namespace quellix {

void bindHandlers(const System& os, Controls& controls, std::function<void()> endProgram) {
    Controls* c = &controls;
    for (std::string_view prefix : kRowOrder) {
        c->onClick(std::string(prefix) + "_chk", [c, prefix] { rowBoxClicked(*c, prefix); });
        c->onClick("btn_" + std::string(prefix),
                   [os, c, prefix] { browseClicked(os.dialogs, *c, prefix); });
    }
    c->onClick("btn_appliquer", [os, c] { appliquerClicked(os, *c); });
    c->onClick("btn_annuler", [os, c] { annulerClicked(os, *c); });
    c->onClick("btn_options", [os, c] { optionsClicked(os, *c); });
    c->onClick("btn_defaut", [os, c] { defautClicked(os, *c); });
    c->onClick("btn_quitter", std::move(endProgram));
}

} // namespace quellix
