#pragma once

#include "ports.h"

#include <deque>
#include <string>
#include <vector>

namespace quellix::test {

// Dialogs answered from a script: each message box takes the next answer (Ok when none is left)
// and each open-file dialog the next file name (empty when none is left). Everything shown is kept.
class ScriptedDialogs : public DialogsPort {
public:
    struct Shown {
        std::string text;
        Buttons buttons;
    };
    struct FileDialog {
        std::string title;
        std::vector<FileFilter> filters;
    };

    std::deque<Answer> answers;
    std::deque<std::string> chosenFiles;
    std::vector<Shown> messages;
    std::vector<FileDialog> fileDialogs;

    Answer showMessage(const std::string& text, Buttons buttons) override;
    std::string chooseFile(const std::string& title,
                           const std::vector<FileFilter>& filters) override;
};

} // namespace quellix::test
