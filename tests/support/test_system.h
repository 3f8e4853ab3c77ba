#pragma once
// Every port of the core as an in-memory double, bundled as one System.

#include "ports.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quellix::test {

// Keys of each view named without regard to ASCII case, with the return codes and size rules of
// the ANSI registry functions.
class MemoryRegistry : public RegistryPort {
public:
    struct Value {
        std::uint32_t type = kRegSz;
        std::string data; // ANSI bytes, or UTF-8 when written in Unicode
        friend bool operator==(const Value&, const Value&) = default;
    };
    std::map<std::string, std::map<std::string, Value>> keys; // by key() and folded value name
    std::set<RegHandle> readOnlyRoots;                        // a standard user's HKLM
    std::vector<std::string> writes; // "<key>|<value name>=<data>" of each value set, in order
    bool overstateSizes = false;     // a short buffer is told twice the size, as for UTF-16 data
    std::map<RegHandle, std::pair<std::string, bool>> opened; // key, writable

    static std::string fold(std::string text) {
        std::ranges::transform(text, text.begin(),
                               [](char c) { return c | (c >= 'A' && c <= 'Z' ? 32 : 0); });
        return text;
    }
    // "hklm\\software\\x" in the installers' view, "shell hklm\\software\\x" in the shell's.
    static std::string key(RegHandle root, const std::string& path,
                           RegView view = RegView::Installers) {
        const char* const roots[] = {"hkcr", "hkcu", "hklm", "hku", "hkpd"};
        return fold((view == RegView::Shell ? "shell " : "") +
                    std::string(roots[root - 0x80000000u]) + "\\" + path);
    }
    void put(RegHandle root, const std::string& path, const std::string& name, Value value) {
        keys[key(root, path)][fold(name)] = std::move(value);
    }

    long createKey(RegHandle root, const std::string& path, RegView view, RegHandle& k) override {
        return open(root, path, view, true, true, k);
    }
    long openKey(RegHandle root, const std::string& path, RegView view, RegAccess access,
                 RegHandle& k) override {
        return open(root, path, view, false, access == RegAccess::ReadWrite, k);
    }
    long setValue(RegHandle k, const std::string& name, std::uint32_t type,
                  std::string_view data) override {
        return store(k, name, {type, std::string(data)});
    }
    long setUnicodeText(RegHandle k, const std::string& name, std::string_view text) override {
        return store(k, name, {kRegSz, std::string(text) + '\0'});
    }
    long queryValue(RegHandle k, const std::string& name, std::uint32_t* type, char* data,
                    std::uint32_t* size) override {
        auto& values = keys[opened[k].first];
        const auto value = values.find(fold(name));
        if (value == values.end()) {
            return kRegFileNotFound;
        }
        *type = value->second.type;
        const auto needed = static_cast<std::uint32_t>(value->second.data.size());
        if (*size < needed) {
            *size = overstateSizes ? 2 * needed : needed;
            return kRegMoreData;
        }
        std::memcpy(data, value->second.data.data(), *size = needed);
        return kRegSuccess;
    }
    long deleteValue(RegHandle k, const std::string& name) override {
        return !opened[k].second                         ? kRegAccessDenied
               : keys[opened[k].first].erase(fold(name)) ? kRegSuccess
                                                         : kRegFileNotFound;
    }
    void closeKey(RegHandle k) override { opened.erase(k); }

private:
    long store(RegHandle k, const std::string& name, const Value& value) {
        if (opened[k].second) {
            writes.push_back(opened[k].first + "|" + name + "=" + value.data);
            keys[opened[k].first][fold(name)] = value;
        }
        return opened[k].second ? kRegSuccess : kRegAccessDenied;
    }
    long open(RegHandle root, const std::string& path, RegView view, bool make, bool writable,
              RegHandle& k) {
        const std::string name = key(root, path, view);
        if (!make && !keys.contains(name)) {
            return kRegFileNotFound;
        }
        if ((writable || !keys.contains(name)) && readOnlyRoots.contains(root)) {
            return kRegAccessDenied;
        }
        keys[name];
        opened[k = next_++] = {name, writable};
        return kRegSuccess;
    }
    RegHandle next_ = 0x1000;
};

// A REG_SZ as the ANSI functions store it: the text and its terminator.
inline MemoryRegistry::Value sz(const std::string& ansi) {
    return {kRegSz, ansi + '\0'};
}

// Files and folders in memory, with switches that make each step fail, and a process that dies
// after `changesLeft` more changes: later ones are not made, except that a torn death leaves half
// of the bytes of the write it dies in.
class MemoryFiles : public FilesPort {
public:
    struct File {
        std::string bytes;
        bool readOnly = false;
    };
    std::map<std::string, File> files;
    std::set<std::string> folders;
    bool failCreate = false, failRead = false, failWrite = false, failReplace = false;
    size_t changesLeft = SIZE_MAX;
    bool torn = false;

    bool alive() { return changesLeft > 0 && changesLeft-- > 0; }
    bool fileExists(const std::string& path) override { return files.contains(path); }
    bool folderExists(const std::string& path) override { return folders.contains(path); }
    bool isReadOnly(const std::string& path) override {
        return files.contains(path) && files[path].readOnly;
    }
    bool createEmptyFile(const std::string& path) override {
        return alive() && !failCreate && files.try_emplace(path).second;
    }
    std::optional<std::string> readFile(const std::string& path) override {
        return failRead || !files.contains(path) ? std::nullopt : std::optional(files[path].bytes);
    }
    bool writeNewFile(const std::string& path, std::string_view bytes) override {
        const bool live = alive();
        if (!live && std::exchange(torn, false)) {
            files[path].bytes = bytes.substr(0, bytes.size() / 2);
        }
        return live && !failWrite && !isReadOnly(path) && (files[path].bytes = bytes, true);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        const bool done = alive() && !failReplace && files.contains(from) && !isReadOnly(to);
        if (done) {
            files[to] = files[from];
            files.erase(from);
        }
        return done;
    }
    bool removeFile(const std::string& path) override {
        return alive() && !isReadOnly(path) && files.erase(path) == 1;
    }
    bool createFolders(const std::string& path) override {
        return alive() && !failCreate && (folders.insert(path), true);
    }
};

// A process whose folder and command line the test sets; it records what it started.
class FakeProcess : public ProcessPort {
public:
    struct Started {
        std::string executable, commandLine, folder;
    };
    std::string folder = "C:\\Quellix";
    std::string line = "\"C:\\Quellix\\quellix.exe\"";
    std::string current = "C:\\Users\\joueur";
    std::set<std::string> enterable;
    bool startFails = false;
    std::vector<Started> started;

    std::string programFolder() override { return folder; }
    std::string commandLine() override { return line; }
    std::uint32_t processId() override { return 4242; }
    bool setCurrentFolder(const std::string& path) override {
        current = enterable.contains(path) ? path : current;
        return enterable.contains(path);
    }
    bool startMinimized(const std::string& exe, const std::string& commandLine) override {
        started.insert(started.end(), !startFails, {exe, commandLine, current});
        return !startFails;
    }
};

// Each message box takes the next answer (OK when none is left), each open-file dialog the next
// file (none when none is left). What was shown is kept: a message's text, with " [OK|Annuler]"
// when it asks, or a file dialog's title and filters.
class ScriptedDialogs : public DialogsPort {
public:
    std::deque<Answer> answers;
    std::deque<std::string> files;
    std::vector<std::string> shown;

    template <typename T> static T takeFirst(std::deque<T>& queue, T otherwise) {
        return queue.empty() ? otherwise
                             : (otherwise = queue.front(), queue.pop_front(), otherwise);
    }
    Answer showMessage(const std::string& text, Buttons buttons) override {
        shown.push_back(text + (buttons == Buttons::OkCancel ? " [OK|Annuler]" : ""));
        return takeFirst(answers, Answer::Ok);
    }
    std::string chooseFile(const std::string& title,
                           const std::vector<FileFilter>& filters) override {
        shown.push_back(title);
        for (const FileFilter& filter : filters) {
            shown.back() += "|" + filter.description + "|" + filter.pattern;
        }
        return takeFirst(files, std::string());
    }
};

// ISO-8859-1 as the ANSI code page: every character up to U+00FF has a one-byte form.
class Latin1CodePage : public AnsiCodePage {
public:
    std::optional<std::string> toAnsi(std::string_view utf8) override {
        std::string ansi;
        for (size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c >= 0x80 && (c < 0xC2 || c > 0xC3 || ++i == utf8.size())) {
                return std::nullopt;
            }
            ansi += c < 0x80 ? utf8[i] : static_cast<char>((c & 3) << 6 | (utf8[i] & 0x3F));
        }
        return ansi;
    }
    std::string fromAnsi(std::string_view ansi) override {
        std::string utf8;
        for (const char ch : ansi) {
            const auto c = static_cast<unsigned char>(ch);
            utf8 += c < 0x80 ? std::string(1, ch)
                             : std::string{static_cast<char>(0xC0 | c >> 6),
                                           static_cast<char>(0x80 | (c & 0x3F))};
        }
        return utf8;
    }
};

// Wine as `under` says (nothing: Windows), with Z: as the Unix root.
class FakeWine : public WinePort {
public:
    std::optional<WineDesktop> under;
    std::optional<WineDesktop> desktop() override { return under; }
    std::string windowsPath(const std::string& unixPath) override {
        std::string path = "Z:" + unixPath;
        std::ranges::replace(path, '/', '\\');
        return path;
    }
};

struct TestSystem {
    MemoryRegistry registry;
    MemoryFiles files;
    FakeProcess process;
    ScriptedDialogs dialogs;
    Latin1CodePage ansi;
    FakeWine wine;
    System os{registry, files, process, dialogs, ansi, wine};
    const std::string config = "C:\\Quellix\\config.ini";
};

} // namespace quellix::test
