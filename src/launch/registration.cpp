#include "launch/registration.h"

#include "config/defaults.h"
#include "config/settings.h"
#include "registry/registry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellix {

namespace {

// A key created, a value set to a fixed text, or a value set to the registered command.
enum class Step { CreateKey, SetText, SetCommand };

struct RegistrationStep {
    Step step;
    std::int32_t HK; // 2 HKEY_CLASSES_ROOT, 0 HKEY_LOCAL_MACHINE, 1 HKEY_CURRENT_USER
    std::string_view key;
    std::string_view valueName; // empty: the key's default value
    std::string_view text;
};

// Written where the shell looks handlers up, which on a 64-bit system is not where the games'
// 32-bit installers are read.
constexpr RegView kShellView = RegView::Shell;

// The machine-wide registration first, then the same for the current user: a standard user cannot
// write the first two roots, and links would otherwise never reach the launcher.
// clang-format off
constexpr std::array<RegistrationStep, 12> kRegistration{{
    {Step::CreateKey,  2, "vx\\shell\\open\\command", "", ""},
    {Step::SetText,    2, "vx", "", "URL: vx Protocol"},
    {Step::SetText,    2, "vx", "URL Protocol", ""},
    {Step::SetCommand, 2, "vx\\shell\\open\\command", "", ""},
    {Step::CreateKey,  0, "software\\vx\\shell\\open\\command", "", ""},
    {Step::SetText,    0, "software\\vx", "", "URL: vx Protocol"},
    {Step::SetText,    0, "software\\vx", "URL Protocol", ""},
    {Step::SetCommand, 0, "software\\vx\\shell\\open\\command", "", ""},
    {Step::CreateKey,  1, "Software\\Classes\\vx\\shell\\open\\command", "", ""},
    {Step::SetText,    1, "Software\\Classes\\vx", "", "URL: vx Protocol"},
    {Step::SetText,    1, "Software\\Classes\\vx", "URL Protocol", ""},
    {Step::SetCommand, 1, "Software\\Classes\\vx\\shell\\open\\command", "", ""},
}};
// clang-format on

// The program path in quotes, so that a folder with blanks stays one argument, then the link.
// The file name is fixed, whatever the name of the running file.
std::string registeredCommand(ProcessPort& process) {
    std::string command = "\"";
    command += process.programFolder();
    command += "\\quellix.exe\" %1";
    return command;
}

} // namespace

void registerVxProtocol(const System& os) {
    const std::string command = registeredCommand(os.process);
    for (const RegistrationStep& row : kRegistration) {
        const std::string key(row.key);
        const std::string name(row.valueName);
        switch (row.step) {
        case Step::CreateKey:
            CreerCle(os, row.HK, key, kShellView);
            break;
        case Step::SetText:
            DonnerValeur(os, row.HK, key, name, std::string(row.text), kShellView);
            break;
        case Step::SetCommand:
            DonnerValeur(os, row.HK, key, name, command, kShellView);
            break;
        }
    }
}

ConfigFile ensureConfigFile(const System& os) {
    const std::string file = configPath(os.process);
    if (os.files.fileExists(file)) {
        return ConfigFile::Existed;
    }
    if (!os.files.createEmptyFile(file)) {
        return ConfigFile::CouldNotCreate;
    }
    if (!CreerConfigDefaut(os)) {
        // Every later start keeps an existing file, even an empty one: the empty file made here
        // would hide the installed games for good. Without it, the next start tries again.
        if (os.files.readFile(file) == std::optional<std::string>(std::string())) {
            os.files.removeFile(file);
        }
        return ConfigFile::CouldNotCreate;
    }
    return ConfigFile::Created;
}

} // namespace quellix
