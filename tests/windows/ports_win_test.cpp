// The Windows implementation of the files port, and the settings layer above it, against the real
// files of the Wine prefix. (The registry and process ports are followed end to end.)

#include "harness.h"

#include "config/atomic_file.h"
#include "config/settings.h"
#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"

#include <algorithm>
#include <numeric>
#include <random>

namespace quellix::wintest {

// The real files and code page; the other ports in memory.
static win::WindowsFiles files;
static win::WindowsAnsiCodePage ansi;
static test::TestSystem doubles;
static const System os{doubles.registry, files, doubles.process,
                       doubles.dialogs,  ansi,  doubles.wine};

// A save over a hidden file under a UTF-16 name, with ReplaceFileW brought to each outcome it
// documents (no backup name given): what it does to the files, then the error it reports; and what
// the save returns and which files it leaves, every byte of them. A read-only file is left alone.
TEST(FilesWin, EachSaveKeepsOneWholeCopyOfTheSettingsAndTheHiddenAttribute) {
    std::string all(3 << 20, 'x'); // several writes' worth, every byte value
    std::iota(all.begin(), all.begin() + 256, '\0');
    const std::pair<win::ReplaceCall, std::string> cases[] = {
        {win::systemReplace, "saved é.ini=new hidden"},
        {[](auto old, auto) { return DeleteFileW(old), 1176ul; }, "saved é.ini=new hidden"},
        {[](auto old, auto) { return DeleteFileW(old), CreateDirectoryW(old, nullptr), 1176ul; },
         "failed é.ini=<folder> é.ini.7.tmp=new"},
        {[](auto old, auto) { return fs::rename(old, fs::path(old) += L"~RF1.TMP"), 1177ul; },
         "saved é.ini=new hidden é.ini~RF1.TMP=old hidden"},
        {[](auto, auto) { return 1175ul; }, "failed é.ini=old hidden"},
        {[](auto, auto) { return DWORD{ERROR_NOT_SUPPORTED}; }, "saved é.ini=new hidden"},
        {[](auto, auto) { return DWORD{ERROR_ACCESS_DENIED}; }, "failed é.ini=old hidden"},
        {nullptr, "failed é.ini=old read-only"}, // not even tried
    };
    for (const auto& c : cases) {
        const std::string folder = scratchFolder("files Bibliothèque été"),
                          path = folder + "\\é.ini";
        ASSERT_TRUE(writeBytes(path, "old"));
        SetFileAttributesW(widen(path).c_str(),
                           c.first ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_READONLY);
        win::WindowsFiles replacing(c.first ? c.first : win::systemReplace);
        std::string outcome = replaceFileContents(replacing, path, all, 7) ? "saved" : "failed";
        std::vector<fs::directory_entry> left{fs::directory_iterator(fs::path(widen(folder))), {}};
        std::ranges::sort(left);
        for (const fs::directory_entry& file : left) {
            const DWORD attributes = GetFileAttributesW(file.path().c_str());
            const auto bytes = readBytes(narrow(file.path().wstring()));
            outcome += " " + narrow(file.path().filename().wstring()) + "=" +
                       (file.is_directory() ? "<folder>"
                        : bytes == all      ? "new"
                                            : bytes.value_or("?")) +
                       (attributes & FILE_ATTRIBUTE_HIDDEN ? " hidden" : "") +
                       (attributes & FILE_ATTRIBUTE_READONLY ? " read-only" : "");
        }
        EXPECT_EQ(outcome, c.second) << &c - cases;
        // The port reads every byte; a folder, or a name cut short by a NUL, is no file.
        EXPECT_TRUE(c.second[0] == 'f' || (files.fileExists(path) && files.readFile(path) == all));
        EXPECT_FALSE(files.fileExists(folder) || files.readFile(folder) ||
                     files.fileExists(path + '\0') || files.replaceFile(path, folder) ||
                     !files.folderExists(folder));
        SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL); // for the next removal
    }
}

// Our settings layer against the profile functions, each on a twin file, over a seeded random
// sequence: writes succeed or fail alike, and every value reads back alike (within the 254
// characters the profile functions read). The registry is followed end to end.
TEST(Differential, OurSettingsLayerAgreesWithTheProfileFunctions) {
    std::mt19937 random(20240605u);
    auto spell = [&random](std::string text) { // its ASCII letters each in a random case
        for (char& c : text) {
            c = static_cast<char>(
                std::isalpha(static_cast<unsigned char>(c)) && random() % 2 ? c ^ 0x20 : c);
        }
        return text;
    };
    auto pick = [&](const std::vector<std::string>& texts) {
        return spell(texts[random() % texts.size()]);
    };
    // Names and values as players' files hold them.
    // clang-format off
    const std::vector<std::string> sections = {"General", "q3", "UT2003", "Jeux\\Steam", "vide"},
        keys = {"Path", "present", "vide"},
        values = {"", "0", "1", " ", "\t x", "\"", "''", "'a\"", "a=b", "; c", "[s]", "Quake III",
                  "C:\\Jeux Quake III\\q3.exe", "D:\\Jeux vid\xC3\xA9o\\Quake III.exe", "Quake III",
                  "Quake III  ", "Quake III\t Quake III", "  Quake III", "\"Quake III a\" ", "Quake III"};
    // clang-format on
    const std::string start =
        "; r\xE9glages\r\n\r\n[general]\r\n  sansvalidation = 0  \r\n\r\n[Q3]"
        "\r\npath=\"C:\\Program Files\\quake3.exe\"\r\n[vide]\r\npresent=\tun \t\r\n";
    const std::string folder = scratchFolder("differential");
    auto a = [](const std::string& utf8) { return ansi.toAnsi(utf8).value_or("?"); };
    for (size_t op = 0; op < 3000; ++op) {
        const std::string n = std::to_string(op / 100) + ".ini", ours = folder + "\\ours" + n,
                          theirs = folder + "\\theirs" + n;
        if (op % 200 == 100) {
            ASSERT_TRUE(writeBytes(ours, start) && writeBytes(theirs, start));
        }
        const std::string section = pick(sections), key = pick(keys);
        const std::string value = a(random() % 10 == 0 ? std::string(200 + random() % 200, '#')
                                                       : pick(values)); // what both can store
        bool ourWrite = true, theirWrite = true;
        if (random() % 3 == 0) {
            ourWrite = EcrireIni(os, section, key, ansi.fromAnsi(value), ours);
            theirWrite = WritePrivateProfileStringA(a(section).c_str(), a(key).c_str(),
                                                    value.c_str(), a(theirs).c_str()) != 0;
        }
        // Read back under another spelling of the same names.
        const std::string readSection = spell(section), readKey = spell(key);
        char buffer[255] = {};
        const DWORD length = GetPrivateProfileStringA(a(readSection).c_str(), a(readKey).c_str(),
                                                      "", buffer, 255, a(theirs).c_str());
        EXPECT_EQ(std::to_string(ourWrite) +
                      a(LireIni(os, readSection, readKey, ours, "")).substr(0, 254),
                  std::to_string(theirWrite) + std::string(buffer, length))
            << section << "/" << key << "=" << value;
    }
}

} // namespace quellix::wintest
