// The Windows implementations of the registry and files ports, and the layers above them, against
// the real ones of the Wine prefix. (The process port is followed end to end.)

#include "harness.h"

#include "config/atomic_file.h"
#include "config/settings.h"
#include "registry/registry.h"
#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"
#include "windows/registry_win.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <ranges>

namespace quellix::wintest {

// The real registry, files and code page, under an in-memory process and dialogs.
static win::WindowsRegistry registry;
static win::WindowsFiles files;
static win::WindowsAnsiCodePage ansi;
static test::TestSystem doubles;
static const System os{registry, files, doubles.process, doubles.dialogs, ansi};

TEST(RegistryWin, EachCallReachesTheViewItNames) {
    const std::string key = "Software\\QuellixTest";
    ASSERT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, key) &&
                setText(HKEY_LOCAL_MACHINE, key, "Vue", "32") &&
                deleteKeyTree(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY) &&
                setText(HKEY_LOCAL_MACHINE, key, "Vue", "64", KEY_WOW64_64KEY));
    EXPECT_EQ(LireValeur(os, 0, key, "Vue"), "32"); // where the games' installers write
    EXPECT_EQ(LireValeur(os, 0, key, "Vue", RegView::Shell), "64");
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, key, "Sans fin", "C:\\q3.exe", KEY_WOW64_32KEY, false));
    EXPECT_EQ(LireValeur(os, 0, key, "Sans fin"), "C:\\q3.exe");
    EXPECT_TRUE(DonnerValeur(os, 0, key, "Unicode", "C:\\Łódź")); // beyond the code page
    EXPECT_EQ(regValue(HKEY_LOCAL_MACHINE, key, "Unicode"), "C:\\Łódź");
}

TEST(FilesWin, EveryByteUnderAUtf16NameAHiddenFileReplacedHiddenAReadOnlyOneLeftAlone) {
    const std::string folder = scratchFolder("files_win Bibliothèque été"),
                      path = folder + "\\é.ini";
    std::string all(3 << 20, 'x'); // several writes' worth
    std::iota(all.begin(), all.begin() + 256, '\0');
    EXPECT_TRUE(files.createEmptyFile(path) && files.writeNewFile(path + ".tmp", all) &&
                files.readFile(path + ".tmp") == all);
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(files.replaceFile(path + ".tmp", path));
    EXPECT_TRUE(GetFileAttributesW((widen(folder) + L"\\\u00e9.ini").c_str()) &
                FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(files.fileExists(folder) || files.readFile(folder) ||
                 files.fileExists(path + '\0') || files.replaceFile(path, folder));
    EXPECT_TRUE(files.folderExists(folder) && files.fileExists(path));
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.isReadOnly(path));
    EXPECT_FALSE(replaceFileContents(files, path, "changed", 7) || files.removeFile(path));
    EXPECT_TRUE(readBytes(path) == all && !files.fileExists(path + ".7.tmp"));
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(files.removeFile(path) && !files.fileExists(path));
}

// ReplaceFileW brought to each outcome it documents (no backup name given): what it does to the
// files, then the error it reports; and what a save returns and which files it leaves.
TEST(FilesWin, EachReplaceOutcomeKeepsOneWholeCopyOfTheSettings) {
    const std::pair<win::ReplaceCall, std::string> cases[] = {
        {win::systemReplace, "saved config.ini=new"},
        {[](auto old, auto) { return DeleteFileW(old), 1176ul; }, "saved config.ini=new"},
        {[](auto old, auto) { return DeleteFileW(old), CreateDirectoryW(old, nullptr), 1176ul; },
         "failed config.ini=<folder> config.ini.7.tmp=new"},
        {[](auto old, auto) { return fs::rename(old, fs::path(old) += L"~RF1.TMP"), 1177ul; },
         "saved config.ini=new config.ini~RF1.TMP=old"},
        {[](auto, auto) { return 1175ul; }, "failed config.ini=old"},
        {[](auto, auto) { return DWORD{ERROR_NOT_SUPPORTED}; }, "saved config.ini=new"},
        {[](auto, auto) { return DWORD{ERROR_ACCESS_DENIED}; }, "failed config.ini=old"},
    };
    for (const auto& c : cases) {
        const std::string folder = scratchFolder("replace outcome");
        ASSERT_TRUE(writeBytes(folder + "\\config.ini", "old"));
        win::WindowsFiles replacing(c.first);
        std::string outcome =
            replaceFileContents(replacing, folder + "\\config.ini", "new", 7) ? "saved" : "failed";
        std::vector<fs::directory_entry> left{fs::directory_iterator(folder), {}};
        std::ranges::sort(left);
        for (const fs::directory_entry& file : left) {
            outcome +=
                " " + file.path().filename().string() + "=" +
                (file.is_directory() ? "<folder>" : readBytes(file.path().string()).value_or("?"));
        }
        EXPECT_EQ(outcome, c.second) << &c - cases;
    }
}

// Our settings and registry layers against the profile and ANSI registry functions, each on a twin
// file or key, over a seeded random sequence (QUELLIX_DIFFERENTIAL_SEED chooses another): every
// value read must agree, within the 254 characters the profile functions read.
TEST(Differential, OurSettingsAndRegistryLayersAgreeWithTheSystemFunctions) {
    const char* seedText = std::getenv("QUELLIX_DIFFERENTIAL_SEED");
    std::mt19937 random(seedText != nullptr ? std::strtoul(seedText, nullptr, 10) : 20240605u);
    SCOPED_TRACE(seedText != nullptr ? seedText : "default seed");
    // One of the texts parted by '|', its ASCII letters each in a random case, each * a word.
    auto pick = [&random](const std::string& texts) {
        std::vector<std::string> each;
        for (const auto text : std::views::split(texts, '|')) {
            each.emplace_back(text.begin(), text.end());
        }
        std::string text;
        for (char c : each.empty() ? "" : each[random() % each.size()]) { // "" has none
            const bool flip = std::isalpha(static_cast<unsigned char>(c)) && random() % 2 == 0;
            text += c == '*' ? std::string("Quake III") : std::string(1, flip ? c ^ 0x20 : c);
        }
        return text;
    };
    // Names and values as players' files and installers hold them.
    const std::string sections = "General|q3|UT2003|Jeux\\Steam|vide", keys = "Path|present|vide";
    const std::string values = "|0|1| |\t x|\"|''|'a\"|a=b|; c|[s]|C:\\Jeux *\\q3.exe|"
                               "D:\\Jeux vid\xC3\xA9o\\*.exe|*  |*\t *|  *|\"* a\" |*|*|*";
    const std::string start =
        "; r\xE9glages\r\n\r\n[general]\r\n  sansvalidation = 0  \r\n\r\n[Q3]"
        "\r\npath=\"C:\\Program Files\\quake3.exe\"\r\n[vide]\r\npresent=\tun \t\r\n";
    const std::string folder = scratchFolder("differential"), base = "Software\\QuellixDiff\\";
    ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, base));
    auto a = [](const std::string& utf8) { return ansi.toAnsi(utf8).value_or("?"); };
    // A value of HKCU as the ANSI function reads it: its type and bytes, or the error.
    auto queryA = [&a](const std::string& path, const std::string& name) {
        HKEY key = nullptr;
        DWORD type = 0, size = 4096;
        std::string bytes(size, '\0');
        LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
        if (status == ERROR_SUCCESS) {
            status = RegQueryValueExA(key, a(name).c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(bytes.data()), &size);
            RegCloseKey(key);
        }
        return status == ERROR_SUCCESS ? std::to_string(type) + ":" + bytes.substr(0, size)
                                       : "error " + std::to_string(status);
    };
    size_t cut = 0;
    for (size_t op = 0; op < 3000; ++op) {
        const std::string file = std::to_string(op / 100) + ".ini", ours = folder + "\\ours" + file,
                          theirs = folder + "\\theirs" + file;
        if (op % 200 == 100) {
            ASSERT_TRUE(writeBytes(ours, start) && writeBytes(theirs, start));
        }
        const std::string section = pick(sections), key = pick(keys);
        const std::string name = key == "vide" ? "" : key; // in the registry, the default value
        const std::string value = a(random() % 10 == 0 ? std::string(200 + random() % 200, '#')
                                                       : pick(values)); // what both can store
        const std::string ourKey = base + "Ours\\" + section,
                          theirKey = base + "Theirs\\" + section;
        SCOPED_TRACE(section + "/" + key + "=" + value);
        if (const size_t kind = random() % 6; kind < 2) { // a setting, written by each
            EXPECT_EQ(EcrireIni(os, section, key, ansi.fromAnsi(value), ours),
                      WritePrivateProfileStringA(a(section).c_str(), a(key).c_str(), value.c_str(),
                                                 a(theirs).c_str()) != 0);
        } else if (kind == 2) { // a registry text, written by each
            EXPECT_TRUE(DonnerValeur(os, 1, ourKey, name, ansi.fromAnsi(value)));
            RegSetKeyValueA(HKEY_CURRENT_USER, theirKey.c_str(), a(name).c_str(), REG_SZ,
                            value.c_str(), static_cast<DWORD>(value.size() + 1));
        } else if (kind == 3) { // removed by each
            SupprValeur(os, 1, ourKey, name);
            RegDeleteKeyValueA(HKEY_CURRENT_USER, theirKey.c_str(), a(name).c_str());
        }
        // Both read back, under another spelling of the same names.
        const std::string readSection = pick(section), readKey = pick(key), readName = pick(name);
        char buffer[255] = {};
        const DWORD length = GetPrivateProfileStringA(a(readSection).c_str(), a(readKey).c_str(),
                                                      "", buffer, 255, a(theirs).c_str());
        const std::string mine = a(LireIni(os, readSection, readKey, ours, ""));
        cut += mine.size() > 254 ? 1 : 0;
        EXPECT_EQ(mine.substr(0, 254), std::string(buffer, length)) << readSection << readKey;
        const std::string stored = queryA(theirKey, readName);
        EXPECT_EQ(queryA(base + "Ours\\" + readSection, readName), stored) << readName;
        EXPECT_EQ(a(LireValeur(os, 1, base + "Ours\\" + readSection, readName)),
                  stored.starts_with("1:") ? stored.substr(2, stored.size() - 3) : "");
    }
    EXPECT_GT(cut, 0u) << "no value longer than the profile functions read";
    EXPECT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, base));
}

} // namespace quellix::wintest
