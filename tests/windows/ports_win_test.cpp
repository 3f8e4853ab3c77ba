// The Windows implementations of the registry and files ports against the real ones of the Wine
// prefix. (The process port is followed end to end, in end_to_end_test.)

#include "harness.h"

#include "config/atomic_file.h"
#include "registry/registry.h"
#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"
#include "windows/registry_win.h"
#include "windows/wide.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quellix::wintest {
namespace {

using win::widen;

TEST(RegistryWin, EachCallReachesTheViewItNames) {
    const std::string key = "Software\\QuellixTest";
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        ASSERT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, key, view));
    }
    win::WindowsRegistry registry;
    test::TestSystem t;
    win::WindowsAnsiCodePage ansi;
    const System os{registry, t.files, t.process, t.dialogs, ansi};
    EXPECT_NE(CreerCle(os, 0, key + "\\Cle"), 0u);
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, key + "\\Cle", KEY_WOW64_32KEY));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY));

    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, key, "Vue", "32"));
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, key, "Vue", "64", KEY_WOW64_64KEY));
    EXPECT_EQ(LireValeur(os, 0, key, "Vue"), "32");
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, key, "Sans fin", "C:\\q3.exe", KEY_WOW64_32KEY, false));
    EXPECT_EQ(LireValeur(os, 0, key, "Sans fin"), "C:\\q3.exe");
    EXPECT_TRUE(DonnerValeur(os, 0, key, "Unicode", "C:\\Łódź")); // beyond the code page
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, key, "Unicode"), std::string("C:\\Łódź"));
    EXPECT_TRUE(DonnerValeur(os, 0, key, "Ecrit", "ici"));
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, key, "Ecrit"), std::string("ici"));
    // The shell's view is the 64-bit one.
    EXPECT_TRUE(DonnerValeur(os, 0, key, "Shell", "64", RegView::Shell));
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, key, "Shell", KEY_WOW64_64KEY), std::string("64"));
    EXPECT_EQ(LireValeur(os, 0, key, "Vue", RegView::Shell), "64");
    SupprValeur(os, 0, key, "Ecrit");
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, key, "Ecrit"), std::nullopt);
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, key, view));
    }
}

TEST(FilesWin, EveryByteUnderAUtf16NameAHiddenFileReplacedHiddenAReadOnlyOneLeftAlone) {
    const std::string folder = scratchFolder("files_win Bibliothèque été"),
                      path = folder + "\\é.ini";
    win::WindowsFiles files;
    EXPECT_TRUE(files.createEmptyFile(path) && !files.createEmptyFile(path));
    std::string all(3 << 20, 'x');
    for (int i = 0; i < 256; ++i) {
        all[static_cast<size_t>(i)] = static_cast<char>(i);
    }
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
enum class Left { Both, ReplacedGone, ReplacedRenamed, FolderInItsPlace };
template <DWORD error, Left left> DWORD replaceOutcome(const wchar_t* replaced, const wchar_t*) {
    if (left != Left::Both) {
        DeleteFileW(replaced);
    }
    if (left == Left::ReplacedRenamed) {
        writeBytes(win::narrow(replaced) + "~RF1.TMP", "old");
    } else if (left == Left::FolderInItsPlace) {
        CreateDirectoryW(replaced, nullptr); // and the move after it fails
    }
    return error;
}

TEST(FilesWin, EachReplaceOutcomeKeepsOneWholeCopyOfTheSettings) {
    using Files = std::map<std::string, std::string>;
    const struct {
        win::ReplaceCall call;
        bool saved;
        Files left; // name and bytes; "<folder>" for a folder
    } cases[] = {
        {win::systemReplace, true, {{"config.ini", "new"}}},
        {replaceOutcome<1176, Left::ReplacedGone>, true, {{"config.ini", "new"}}},
        {replaceOutcome<1176, Left::FolderInItsPlace>,
         false,
         {{"config.ini", "<folder>"}, {"config.ini.7.tmp", "new"}}},
        {replaceOutcome<1177, Left::ReplacedRenamed>,
         true,
         {{"config.ini", "new"}, {"config.ini~RF1.TMP", "old"}}},
        {replaceOutcome<1175, Left::Both>, false, {{"config.ini", "old"}}},
        {replaceOutcome<ERROR_NOT_SUPPORTED, Left::Both>, true, {{"config.ini", "new"}}},
        {replaceOutcome<ERROR_ACCESS_DENIED, Left::Both>, false, {{"config.ini", "old"}}},
    };
    for (const auto& c : cases) {
        const std::string folder = scratchFolder("replace outcome");
        ASSERT_TRUE(writeBytes(folder + "\\config.ini", "old"));
        win::WindowsFiles files(c.call);
        EXPECT_EQ(replaceFileContents(files, folder + "\\config.ini", "new", 7), c.saved);
        Files left;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            left[entry.path().filename().string()] =
                entry.is_directory() ? "<folder>" : readBytes(entry.path().string()).value_or("?");
        }
        EXPECT_EQ(left, c.left) << &c - cases;
    }
}

} // namespace
} // namespace quellix::wintest
