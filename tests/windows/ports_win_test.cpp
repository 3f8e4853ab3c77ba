// The Windows implementations of the registry and files ports against the real ones of the Wine
// prefix. (The process port is followed end to end, in end_to_end_test.)

#include "harness.h"

#include "config/atomic_file.h"
#include "registry/registry.h"
#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"
#include "windows/registry_win.h"

#include <numeric>

namespace quellix::wintest {
namespace {

TEST(RegistryWin, EachCallReachesTheViewItNames) {
    const std::string key = "Software\\QuellixTest";
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        ASSERT_TRUE(
            deleteKeyTree(HKEY_LOCAL_MACHINE, key, view) &&
            setText(HKEY_LOCAL_MACHINE, key, "Vue", view == KEY_WOW64_64KEY ? "64" : "32", view));
    }
    win::WindowsRegistry registry;
    test::TestSystem t;
    win::WindowsAnsiCodePage ansi;
    const System os{registry, t.files, t.process, t.dialogs, ansi};
    EXPECT_EQ(LireValeur(os, 0, key, "Vue"), "32"); // where the games' installers write
    EXPECT_EQ(LireValeur(os, 0, key, "Vue", RegView::Shell), "64");
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, key, "Sans fin", "C:\\q3.exe", KEY_WOW64_32KEY, false));
    EXPECT_EQ(LireValeur(os, 0, key, "Sans fin"), "C:\\q3.exe");
    EXPECT_TRUE(DonnerValeur(os, 0, key, "Unicode", "C:\\Łódź")); // beyond the code page
    EXPECT_EQ(regValue(HKEY_LOCAL_MACHINE, key, "Unicode"), "C:\\Łódź");
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, key, view));
    }
}

TEST(FilesWin, EveryByteUnderAUtf16NameAHiddenFileReplacedHiddenAReadOnlyOneLeftAlone) {
    const std::string folder = scratchFolder("files_win Bibliothèque été"),
                      path = folder + "\\é.ini";
    win::WindowsFiles files;
    EXPECT_TRUE(files.createEmptyFile(path) && !files.createEmptyFile(path));
    std::string all(3 << 20, 'x'); // several writes' worth
    std::iota(all.begin(), all.begin() + 256, '\0');
    EXPECT_TRUE(files.writeNewFile(path + ".tmp", all) && files.readFile(path + ".tmp") == all);
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(files.fileExists(path) && files.replaceFile(path + ".tmp", path));
    EXPECT_TRUE(GetFileAttributesW((widen(folder) + L"\\\u00e9.ini").c_str()) &
                FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(readBytes(path), all);
    EXPECT_FALSE(files.fileExists(folder) || files.readFile(folder) ||
                 files.fileExists(path + '\0'));
    EXPECT_TRUE(files.folderExists(folder) && !files.fileExists(path + ".tmp"));
    EXPECT_FALSE(files.writeNewFile(folder + "\\x", "x") &&
                 files.replaceFile(folder + "\\x", folder));
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.isReadOnly(path));
    EXPECT_FALSE(replaceFileContents(files, path, "changed", 7) || files.removeFile(path));
    EXPECT_TRUE(readBytes(path) == all && !files.fileExists(path + ".7.tmp"));
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(files.removeFile(path) && !files.fileExists(path));
}

// ReplaceFileW brought to each outcome it documents (no backup name given), leaving the files as it
// describes them; then what a save returns and which files it leaves.
enum class Left { Both, Gone, Renamed, Folder };
template <DWORD error, Left left> DWORD replaceOutcome(const wchar_t* replaced, const wchar_t*) {
    if (left != Left::Both) {
        DeleteFileW(replaced);
    }
    if (left == Left::Renamed) {
        writeBytes(narrow(replaced) + "~RF1.TMP", "old");
    } else if (left == Left::Folder) {
        CreateDirectoryW(replaced, nullptr); // and the move after it fails
    }
    return error;
}

TEST(FilesWin, EachReplaceOutcomeKeepsOneWholeCopyOfTheSettings) {
    const std::pair<win::ReplaceCall, std::string> cases[] = {
        {win::systemReplace, "saved config.ini=new"},
        {replaceOutcome<1176, Left::Gone>, "saved config.ini=new"},
        {replaceOutcome<1176, Left::Folder>, "failed config.ini=<folder> config.ini.7.tmp=new"},
        {replaceOutcome<1177, Left::Renamed>, "saved config.ini=new config.ini~RF1.TMP=old"},
        {replaceOutcome<1175, Left::Both>, "failed config.ini=old"},
        {replaceOutcome<ERROR_NOT_SUPPORTED, Left::Both>, "saved config.ini=new"},
        {replaceOutcome<ERROR_ACCESS_DENIED, Left::Both>, "failed config.ini=old"},
    };
    for (const auto& c : cases) {
        const std::string folder = scratchFolder("replace outcome");
        ASSERT_TRUE(writeBytes(folder + "\\config.ini", "old"));
        win::WindowsFiles files(c.first);
        std::string outcome =
            replaceFileContents(files, folder + "\\config.ini", "new", 7) ? "saved" : "failed";
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

} // namespace
} // namespace quellix::wintest
