#include "config/settings.h"

#include "config/atomic_file.h"
#include "config/profile.h"

#include <optional>

namespace quellix {
namespace {

// A file that starts with the UTF-8 mark holds UTF-8 text, as the platform reads it; any other
// holds the ANSI code page, the form earlier versions stored.
std::optional<std::string> toStored(AnsiCodePage& ansi, std::string_view file,
                                    std::string_view text) {
    if (profile::isUtf8Text(file)) {
        return std::string(text);
    }
    return ansi.toAnsi(text);
}

std::string fromStored(AnsiCodePage& ansi, std::string_view file, std::string_view stored) {
    if (profile::isUtf8Text(file)) {
        return std::string(stored);
    }
    return ansi.fromAnsi(stored);
}

} // namespace

std::string configPath(ProcessPort& process) {
    return process.programFolder() + "\\config.ini";
}

std::string LireIni(const System& os, std::string_view section, std::string_view key,
                    const std::string& file, std::string_view defaultValue) {
    return LireIni(os.ansi, os.files.readFile(file), section, key, defaultValue);
}

std::string LireIni(AnsiCodePage& ansi, const std::optional<std::string>& bytes,
                    std::string_view section, std::string_view key, std::string_view defaultValue) {
    if (!bytes) {
        return std::string(defaultValue);
    }
    std::optional<std::string> storedSection = toStored(ansi, *bytes, section);
    std::optional<std::string> storedKey = toStored(ansi, *bytes, key);
    if (!storedSection || !storedKey) {
        return std::string(defaultValue);
    }
    std::optional<std::string> value = profile::readValue(*bytes, *storedSection, *storedKey);
    if (!value) {
        return std::string(defaultValue);
    }
    return fromStored(ansi, *bytes, *value);
}

bool EcrireIni(const System& os, std::string_view section, std::string_view key,
               std::string_view value, const std::string& file) {
    std::string current;
    if (std::optional<std::string> bytes = os.files.readFile(file)) {
        current = std::move(*bytes);
    } else if (os.files.fileExists(file)) {
        // Rewriting a file that exists but cannot be read would lose every other setting in it.
        return false;
    }
    std::optional<std::string> storedSection = toStored(os.ansi, current, section);
    std::optional<std::string> storedKey = toStored(os.ansi, current, key);
    std::optional<std::string> storedValue = toStored(os.ansi, current, value);
    if (!storedSection || !storedKey || !storedValue) {
        return false;
    }
    std::optional<std::string> updated =
        profile::writeValue(current, *storedSection, *storedKey, *storedValue);
    return updated && replaceFileContents(os.files, file, *updated, os.process.processId());
}

bool fitsConfigFile(const System& os, std::string_view text, const std::string& file) {
    return toStored(os.ansi, os.files.readFile(file).value_or(""), text).has_value();
}

bool JeuPresent(const System& os, std::string_view section) {
    return JeuPresent(os.ansi, os.files.readFile(configPath(os.process)), section);
}

bool JeuPresent(AnsiCodePage& ansi, const std::optional<std::string>& config,
                std::string_view section) {
    return LireIni(ansi, config, section, "present", "") != "0";
}

std::string EtatChemin(const System& os, std::string_view section) {
    return EtatChemin(os.ansi, os.files.readFile(configPath(os.process)), section);
}

std::string EtatChemin(AnsiCodePage& ansi, const std::optional<std::string>& config,
                       std::string_view section) {
    return LireIni(ansi, config, section, "path", "").empty() ? "0" : "1";
}

} // namespace quellix
