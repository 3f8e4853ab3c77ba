#pragma once
// Ties every handler of the window to its control, for the real window and the in-memory one.

#include "ports.h"
#include "ui/controls.h"

#include <functional>

namespace quellix {

// Binds the thirteen row boxes, the thirteen browse buttons and the five command buttons.
// `endProgram` is what "&Quitter" does: it ends the program at once, saving nothing. `os` and
// `controls` must outlive the handlers.
void bindHandlers(const System& os, Controls& controls, std::function<void()> endProgram);

} // namespace quellix
