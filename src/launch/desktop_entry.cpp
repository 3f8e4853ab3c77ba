#include "launch/desktop_entry.h"
#include "text.h"

#include "config/atomic_file.h"

#include <algorithm>
#include <string_view>

namespace quellix {

namespace {

constexpr std::string_view kEntryName = "quellix-vx.desktop";
constexpr std::string_view kDefaultKey = "x-scheme-handler/vx";
constexpr std::string_view kDefaultSection = "[Default Applications]";

// Between single quotes the shell takes every character as it is, but the quote itself.
std::string shellQuoted(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// An argument of Exec: as it is when it holds none of the characters that the desktop entry
// rules reserve, else quoted by those rules; "%" doubled either way, then "\" escaped as any
// value of the file escapes it.
std::string execArgument(std::string_view text) {
    const bool plain = text.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string_view::npos;
    std::string argument = plain ? "" : "\"";
    for (char c : text) {
        if (!plain && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            argument += '\\';
        }
        argument += c == '%' ? std::string("%%") : std::string(1, c);
    }
    argument += plain ? "" : "\"";
    std::string escaped;
    for (char c : argument) {
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return escaped;
}

// A line of mimeapps.list, whatever its line end.
std::string_view trimmed(std::string_view text) {
    return text::trimmed(text, " \t\r");
}

// An XDG base folder: the variable when it holds an absolute path, else the default under home.
std::string baseFolder(const std::string& variable, const std::string& home, const char* fallback) {
    return variable.starts_with('/') ? variable : home + fallback;
}

// Written where the text differs, its folder created first, replaced in one step.
bool writeWhereDifferent(const System& os, const std::string& unixPath, const std::string& text) {
    const std::string path = os.wine.windowsPath(unixPath);
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) {
        return false;
    }
    return os.files.readFile(path) == text ||
           (os.files.createFolders(path.substr(0, slash)) &&
            replaceFileContents(os.files, path, text, os.process.processId()));
}

} // namespace

std::string linkScript(const WineDesktop& wine, const std::string& program) {
    return "#!/bin/sh\n"
           "# Quellix Vorbanix: hands a vx link to the launcher in its Wine prefix.\n"
           "export WINEPREFIX=" +
           shellQuoted(wine.prefix) + "\nexec " + shellQuoted(wine.loader) + " " +
           shellQuoted(program) + " \"$1\"\n";
}

std::string desktopEntry(const std::string& script) {
    return "[Desktop Entry]\nType=Application\nName=Quellix Vorbanix (liens vx)\nNoDisplay=true\n"
           "MimeType=x-scheme-handler/vx;\nExec=/bin/sh " +
           execArgument(script) + " %u\n";
}

std::optional<std::string> withVxDefault(const std::optional<std::string>& mimeapps) {
    const std::string ours = std::string(kDefaultKey) + "=" + std::string(kEntryName);
    const std::string text = mimeapps.value_or("");
    if (text.find('\0') != std::string::npos) {
        return std::nullopt; // not a text file: not ours to rewrite
    }
    std::string edited;
    bool inDefaults = false, done = false;
    size_t insertAt = std::string::npos; // after the last line of the first defaults section
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line(text.data() + start, end - start);
        const std::string_view content = trimmed(line);
        const size_t next = end < text.size() ? end + 1 : end;
        if (content.starts_with('[')) {
            inDefaults = content == kDefaultSection;
        }
        const size_t equals = content.find('=');
        if (inDefaults && equals != std::string_view::npos &&
            trimmed(content.substr(0, equals)) == kDefaultKey) {
            if (!done) { // the first of our lines is made right, any later one dropped
                const std::string_view value = trimmed(content.substr(equals + 1));
                edited += value.substr(0, value.find(';')) == kEntryName
                              ? std::string(text, start, next - start)
                              : ours + std::string(line.ends_with('\r') ? "\r" : "") +
                                    std::string(text, end, next - end);
            }
            done = true;
        } else {
            edited.append(text, start, next - start);
        }
        if (inDefaults && !done && !content.empty()) {
            insertAt = edited.size();
        }
        start = next;
    }
    if (!done && insertAt != std::string::npos) {
        const std::string before = edited.substr(0, insertAt);
        edited =
            before + (before.ends_with('\n') ? "" : "\n") + ours + "\n" + edited.substr(insertAt);
    } else if (!done) {
        edited += std::string(edited.empty() || edited.ends_with('\n') ? "" : "\n") +
                  (edited.empty() ? "" : "\n") + std::string(kDefaultSection) + "\n" + ours + "\n";
    }
    return mimeapps == edited ? std::nullopt : std::optional(edited);
}

void registerWithDesktop(const System& os) {
    const std::optional<WineDesktop> wine = os.wine.desktop();
    if (!wine || !wine->home.starts_with('/')) {
        return;
    }
    const std::string data = baseFolder(wine->dataHome, wine->home, "/.local/share");
    const std::string config = baseFolder(wine->configHome, wine->home, "/.config");
    const std::string script = data + "/quellix/vx-link.sh";
    if (script.find_first_of("\r\n") != std::string::npos) {
        return; // no line of an entry can name it
    }
    if (!writeWhereDifferent(os, script,
                             linkScript(*wine, os.process.programFolder() + "\\quellix.exe")) ||
        !writeWhereDifferent(os, data + "/applications/" + std::string(kEntryName),
                             desktopEntry(script))) {
        return;
    }
    // An unreadable list is left alone: rewriting it would lose the other programs' lines.
    const std::string list = os.wine.windowsPath(config + "/mimeapps.list");
    const std::optional<std::string> current = os.files.readFile(list);
    if (list.empty() || (!current && os.files.fileExists(list))) {
        return;
    }
    if (const std::optional<std::string> edited = withVxDefault(current)) {
        writeWhereDifferent(os, config + "/mimeapps.list", *edited);
    }
}

} // namespace quellix
