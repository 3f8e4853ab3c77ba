#include "config/atomic_file.h"
#include "harness.h"
#include "windows/files_win.h"
#include "windows/wide.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace quellix {
namespace {

using win::widen;

void addAttribute(const std::string& path, DWORD attribute) {
    DWORD now = GetFileAttributesW(widen(path).c_str());
    ASSERT_TRUE(SetFileAttributesW(widen(path).c_str(), now | attribute)) << path;
}

class FilesWin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }
    // Read-only files would stop the next run from emptying the folder.
    void TearDown() override {
        SetFileAttributesW(widen(folder + "\\readonly.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string folder = wintest::scratchFolder("files_win");
    win::WindowsFiles files;
};

TEST_F(FilesWin, ExistsCountsNormalAndHiddenFilesOnly) {
    ASSERT_TRUE(wintest::writeBytes(folder + "\\normal.txt", "n"));
    ASSERT_TRUE(wintest::writeBytes(folder + "\\hidden.txt", "h"));
    addAttribute(folder + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(wintest::makeFolders(folder + "\\sub"));
    const std::string nul("\\normal.txt\0.exe", 16);
    // clang-format off
    for (const auto& [path, file, isFolder] : std::vector<std::tuple<std::string, bool, bool>>{
             {"\\normal.txt", true, false}, {"\\hidden.txt", true, false}, {"\\sub", false, true},
             {"\\missing.txt", false, false}, {"\\norm*.txt", false, false}, {nul, false, false}}) {
        // clang-format on
        EXPECT_EQ(files.fileExists(folder + path), file) << path;
        EXPECT_EQ(files.folderExists(folder + path), isFolder) << path;
    }
}

TEST_F(FilesWin, WritesReadsAndCreatesEveryByteUnderAnAccentedName) {
    const std::string sub = folder + "\\Bibliothèque été";
    const std::string path = sub + "\\data.bin";
    ASSERT_TRUE(wintest::makeFolders(sub));
    EXPECT_TRUE(files.createEmptyFile(path));
    EXPECT_EQ(files.readFile(path), "");
    // Named in UTF-16 from the UTF-8 text, not through the ANSI code page.
    EXPECT_NE(GetFileAttributesW(
                  (widen(folder) + L"\\Biblioth\u00e8que \u00e9t\u00e9\\data.bin").c_str()),
              INVALID_FILE_ATTRIBUTES);
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    for (const std::string& bytes :
         {all, std::string(3 * 1024 * 1024 + 7, 'x'), std::string("ab")}) {
        ASSERT_TRUE(files.writeNewFile(path, bytes));
        EXPECT_EQ(wintest::readBytes(path), bytes);
        EXPECT_EQ(files.readFile(path), bytes);
    }
    EXPECT_FALSE(files.createEmptyFile(path)) << "an existing file is never emptied";
    EXPECT_EQ(wintest::readBytes(path), "ab");
    EXPECT_TRUE(files.removeFile(path));
    EXPECT_EQ(files.readFile(sub), std::nullopt) << "a folder is not a file";
    EXPECT_FALSE(files.writeNewFile(folder + "\\missing\\data.bin", "x"));
}

TEST_F(FilesWin, ReplaceKeepsTheHiddenAttributeOrMovesIntoAMissingTarget) {
    for (bool targetThere : {true, false}) {
        const std::string target = folder + (targetThere ? "\\hidden.ini" : "\\new.ini");
        if (targetThere) {
            ASSERT_TRUE(wintest::writeBytes(target, "old"));
            addAttribute(target, FILE_ATTRIBUTE_HIDDEN);
        }
        ASSERT_TRUE(wintest::writeBytes(target + ".tmp", "new"));
        EXPECT_TRUE(files.replaceFile(target + ".tmp", target));
        EXPECT_EQ(wintest::readBytes(target), "new");
        EXPECT_EQ((GetFileAttributesW(widen(target).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0,
                  targetThere);
        EXPECT_FALSE(files.fileExists(target + ".tmp"));
        EXPECT_FALSE(files.replaceFile(target + ".tmp", target)) << "no source any more";
    }
}

TEST_F(FilesWin, AReadOnlyFileIsLeftIntact) {
    const std::string path = folder + "\\readonly.ini";
    ASSERT_TRUE(wintest::writeBytes(path, "[q3]\r\nPath=a\r\n"));
    addAttribute(path, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(files.isReadOnly(path));
    EXPECT_FALSE(replaceFileContents(files, path, "[q3]\r\nPath=b\r\n", 7));
    EXPECT_EQ(wintest::readBytes(path), "[q3]\r\nPath=a\r\n");
    EXPECT_FALSE(files.fileExists(path + ".7.tmp"));
    EXPECT_FALSE(files.removeFile(path));
}

// ReplaceFileW brought to each outcome it documents (no backup name given), leaving the files as
// it describes; then what a save returns and which files it leaves.
enum class Left { Both, ReplacedGone, ReplacedRenamed, FolderInItsPlace };
template <DWORD error, Left left> DWORD replaceOutcome(const wchar_t* replaced, const wchar_t*) {
    if (left != Left::Both) {
        DeleteFileW(replaced);
    }
    if (left == Left::ReplacedRenamed) {
        wintest::writeBytes(win::narrow(replaced) + "~RF1.TMP", "old");
    } else if (left == Left::FolderInItsPlace) {
        CreateDirectoryW(replaced, nullptr); // and the move after it fails
    }
    return error;
}

TEST(FilesWinReplace, EachReplaceOutcomeKeepsOneWholeCopyOfTheSettings) {
    using Files = std::map<std::string, std::string>;
    // clang-format off
    const struct {
        const char* name;
        win::ReplaceCall call;
        bool saved;
        Files left; // name and bytes; "<folder>" for a folder
    } cases[] = {
        {"replaced", win::systemReplace, true, {{"config.ini", "new"}}},
        {"1176: replaced file gone", replaceOutcome<1176, Left::ReplacedGone>, true, {{"config.ini", "new"}}},
        {"1176, then the move fails", replaceOutcome<1176, Left::FolderInItsPlace>, false,
         {{"config.ini", "<folder>"}, {"config.ini.7.tmp", "new"}}},
        {"1177: replaced file renamed", replaceOutcome<1177, Left::ReplacedRenamed>, true,
         {{"config.ini", "new"}, {"config.ini~RF1.TMP", "old"}}},
        {"1175: nothing changed", replaceOutcome<1175, Left::Both>, false, {{"config.ini", "old"}}},
        {"not supported: a move", replaceOutcome<ERROR_NOT_SUPPORTED, Left::Both>, true, {{"config.ini", "new"}}},
        {"access denied", replaceOutcome<ERROR_ACCESS_DENIED, Left::Both>, false, {{"config.ini", "old"}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = wintest::scratchFolder("replace-outcome");
        ASSERT_TRUE(wintest::writeBytes(folder + "\\config.ini", "old"));
        win::WindowsFiles files(c.call);
        EXPECT_EQ(replaceFileContents(files, folder + "\\config.ini", "new", 7), c.saved);
        Files left;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(widen(folder + "\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileW(search, &found)) {
            const std::string name = win::narrow(found.cFileName);
            if (name != "." && name != "..") {
                left[name] = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                                 ? "<folder>"
                                 : wintest::readBytes(folder + "\\" + name).value_or("?");
            }
        }
        FindClose(search);
        EXPECT_EQ(left, c.left);
    }
}

} // namespace
} // namespace quellix
