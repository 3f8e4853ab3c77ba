#include "scripted_dialogs.h"

namespace quellix::test {

Answer ScriptedDialogs::showMessage(const std::string& text, Buttons buttons) {
    messages.push_back({text, buttons});
    if (answers.empty()) {
        return Answer::Ok;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedDialogs::chooseFile(const std::string& title,
                                        const std::vector<FileFilter>& filters) {
    fileDialogs.push_back({title, filters});
    if (chosenFiles.empty()) {
        return {};
    }
    std::string chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

} // namespace quellix::test
