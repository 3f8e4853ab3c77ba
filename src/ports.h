#pragma once
// The operating system as the core sees it: a few narrow ports. The Windows implementations live
// in windows/, the test doubles in tests/support/. Nothing here includes windows.h.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellix {

// --- Registry, at the level of the ANSI registry functions -------------------------------------
// Key names, value names and data cross this port as bytes of the system ANSI code page.

using RegHandle = std::uint64_t;                 // 0 is the null handle
inline constexpr long kRegSuccess = 0;           // ERROR_SUCCESS
inline constexpr long kRegFileNotFound = 2;      // ERROR_FILE_NOT_FOUND
inline constexpr long kRegAccessDenied = 5;      // ERROR_ACCESS_DENIED
inline constexpr long kRegInvalidHandle = 6;     // ERROR_INVALID_HANDLE
inline constexpr long kRegMoreData = 234;        // ERROR_MORE_DATA
inline constexpr std::uint32_t kRegSz = 1;       // REG_SZ
inline constexpr std::uint32_t kRegExpandSz = 2; // REG_EXPAND_SZ
inline constexpr std::uint32_t kRegDword = 4;    // REG_DWORD
inline constexpr std::uint32_t kRegMultiSz = 7;  // REG_MULTI_SZ

enum class RegAccess { Read, ReadWrite };

// Which registry view a key is reached in, decided by what the call is for: the games' 32-bit
// installers wrote in the 32-bit view; the shell reads protocol handlers in the system's own view
// (the 64-bit one on a 64-bit system; 32-bit Windows has only one).
enum class RegView { Installers, Shell };

class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    // Opens the key, creating it and any missing parent (RegCreateKeyExA).
    virtual long createKey(RegHandle parent, const std::string& subKey, RegView view,
                           RegHandle& key) = 0;
    // Opens an existing key only (RegOpenKeyExA).
    virtual long openKey(RegHandle parent, const std::string& subKey, RegView view,
                         RegAccess access, RegHandle& key) = 0;
    // RegSetValueExA: data is written as given, terminator included by the caller.
    virtual long setValue(RegHandle key, const std::string& name, std::uint32_t type,
                          std::string_view data) = 0;
    // RegQueryValueExA: data may be null; size is in and out, in bytes.
    virtual long queryValue(RegHandle key, const std::string& name, std::uint32_t* type, char* data,
                            std::uint32_t* size) = 0;
    // RegSetValueExW of a REG_SZ with its terminator: name and text are UTF-8, for a text that the
    // ANSI code page cannot hold.
    virtual long setUnicodeText(RegHandle key, const std::string& name, std::string_view text) = 0;
    virtual long deleteValue(RegHandle key, const std::string& name) = 0;
    virtual void closeKey(RegHandle key) = 0;
};

// --- Files -----------------------------------------------------------------------------------
// Paths are UTF-8; contents are bytes, as stored.

class FilesPort {
public:
    virtual ~FilesPort() = default;
    // True for an existing normal or hidden file; false for a folder or a path that cannot be
    // examined.
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    virtual bool isReadOnly(const std::string& path) = 0;
    // Creates an empty file; false when it cannot (no write access, already exists).
    virtual bool createEmptyFile(const std::string& path) = 0;
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Creates or truncates the file, writes every byte and flushes it to the disk.
    virtual bool writeNewFile(const std::string& path, std::string_view bytes) = 0;
    // Puts `from` in the place of `to` in one step, keeping `to`'s attributes when it exists.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
    virtual bool removeFile(const std::string& path) = 0;
    // Creates the folder and any missing parent; true when the folder is there afterwards.
    virtual bool createFolders(const std::string& path) = 0;
};

// --- Process ---------------------------------------------------------------------------------

class ProcessPort {
public:
    virtual ~ProcessPort() = default;
    // The folder of the running executable, as the system reports it: no trailing backslash
    // except at a drive root ("C:\").
    virtual std::string programFolder() = 0;
    // The whole command line of this process, program name included.
    virtual std::string commandLine() = 0;
    // Sets the current drive and folder; false when the folder cannot be entered.
    virtual bool setCurrentFolder(const std::string& folder) = 0;
    // Starts `commandLine` as a new process running `executable` (nothing is searched), shown
    // minimized with focus; does not wait. False when the process could not be started.
    virtual bool startMinimized(const std::string& executable, const std::string& commandLine) = 0;
    // The system's number for this process, which no other running process has.
    virtual std::uint32_t processId() = 0;
};

// --- Dialogs ---------------------------------------------------------------------------------

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

struct FileFilter {
    std::string description;
    std::string pattern;
};

class DialogsPort {
public:
    virtual ~DialogsPort() = default;
    // A modal message box without icon, titled "quellix".
    virtual Answer showMessage(const std::string& text, Buttons buttons) = 0;
    // The open-file dialog: the full path of the chosen file, or empty when nothing was chosen.
    virtual std::string chooseFile(const std::string& title,
                                   const std::vector<FileFilter>& filters) = 0;
};

// --- Text in the system ANSI code page ------------------------------------------------------
// What is stored (config.ini, registry strings) keeps the 8-bit form earlier versions stored.

class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // Nothing when some character has no form in the code page (it would be stored as "?").
    virtual std::optional<std::string> toAnsi(std::string_view utf8) = 0;
    virtual std::string fromAnsi(std::string_view ansi) = 0;
};

// --- The Linux desktop, when the program runs under Wine -------------------------------------
// Unix paths, in UTF-8, as the Unix side names them.

struct WineDesktop {
    std::string prefix;     // the Wine prefix this program runs in
    std::string loader;     // the program that starts Wine
    std::string home;       // the user's home
    std::string dataHome;   // $XDG_DATA_HOME, empty when not set
    std::string configHome; // $XDG_CONFIG_HOME, empty when not set
};

class WinePort {
public:
    virtual ~WinePort() = default;
    // Nothing when the program does not run under Wine (ntdll has no wine_get_version, as on
    // Windows): then the desktop is not looked at at all.
    virtual std::optional<WineDesktop> desktop() = 0;
    // The path through which the files port reaches a Unix path; empty when there is none.
    virtual std::string windowsPath(const std::string& unixPath) = 0;
};

// Everything the core is given of the operating system.
struct System {
    RegistryPort& registry;
    FilesPort& files;
    ProcessPort& process;
    DialogsPort& dialogs;
    AnsiCodePage& ansi;
    WinePort& wine;
};

} // namespace quellix
