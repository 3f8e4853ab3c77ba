#pragma once
// The game rows of "Configuration Avancée": a check box unlocks the row's path box and browse
// button; the browse button fills the path box from the open-file dialog.

#include "ports.h"
#include "ui/controls.h"

#include <array>
#include <string_view>

namespace quellix {

// The control prefixes of the game rows, in the order in which the rows are locked and saved.
inline constexpr std::array<std::string_view, 13> kRowOrder{
    "dod", "ja", "jo", "q3", "moh", "ut", "shl", "scs", "stfc", "ut2k4", "ef2", "bf", "cod"};

// `<prefix>_chk_Click`: enables the path box and the button when the box is ticked, disables them
// otherwise. The text of the path box is left alone.
void rowBoxClicked(Controls& controls, std::string_view prefix);

// `btn_<prefix>_Click`: puts the chosen file's full path into the row's path box; a dialog that
// chose nothing leaves the row as it was.
void browseClicked(DialogsPort& dialogs, Controls& controls, std::string_view prefix);

// Clears every row's check box in `kRowOrder`; each box that changes locks its row at once.
void DecocherCases(Controls& controls);

} // namespace quellix
