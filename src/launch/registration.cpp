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

// Whether the key is there already, so that it need not be created.
bool keyIsThere(const System& os, const RegistrationStep& row) {
    std::optional<std::string> path = os.ansi.toAnsi(row.key);
    RegHandle key = 0;
    if (!path || os.registry.openKey(CleRacine(row.HK), *path, kShellView, RegAccess::Read, key) !=
                     kRegSuccess) {
        return false;
    }
    os.registry.closeKey(key);
    return true;
}

// Whether the value holds exactly what writing `text` would store: a REG_SZ of its ANSI bytes and
// the terminating zero. Anything else (missing, another type, another text, no terminator, a text
// with no ANSI form) is written again.
bool storedAlready(const System& os, const RegistrationStep& row, const std::string& text) {
    std::optional<std::string> path = os.ansi.toAnsi(row.key);
    std::optional<std::string> name = os.ansi.toAnsi(row.valueName);
    std::optional<std::string> wanted = os.ansi.toAnsi(text);
    RegHandle key = 0;
    if (!path || !name || !wanted ||
        os.registry.openKey(CleRacine(row.HK), *path, kShellView, RegAccess::Read, key) !=
            kRegSuccess) {
        return false;
    }
    wanted->push_back('\0');
    std::string stored(wanted->size() + 1, '\0'); // one byte more: a longer value cannot match
    std::uint32_t type = 0;
    auto size = static_cast<std::uint32_t>(stored.size());
    const bool same =
        os.registry.queryValue(key, *name, &type, stored.data(), &size) == kRegSuccess &&
        type == kRegSz && size <= stored.size() && stored.substr(0, size) == *wanted;
    os.registry.closeKey(key);
    return same;
}

} // namespace

void registerVxProtocol(const System& os) {
    const std::string command = registeredCommand(os.process);
    // Each entry is read first and written only when it differs: a start where the registration
    // is in place writes nothing (a write costs more than a read and wakes every program that
    // watches the shell's keys), and a missing or changed entry is still repaired.
    for (const RegistrationStep& row : kRegistration) {
        const std::string key(row.key);
        const std::string name(row.valueName);
        const std::string text = row.step == Step::SetCommand ? command : std::string(row.text);
        if (row.step == Step::CreateKey) {
            if (!keyIsThere(os, row)) {
                CreerCle(os, row.HK, key, kShellView);
            }
        } else if (!storedAlready(os, row, text)) {
            DonnerValeur(os, row.HK, key, name, text, kShellView);
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
