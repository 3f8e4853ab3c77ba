#include "windows/files_win.h"

#include "windows/wide.h"

#include <windows.h>

namespace quellix::win {
namespace {

// Files larger than this are not settings files; refusing them keeps a stray path from
// exhausting memory.
constexpr LONGLONG kLargestFileRead = 64LL * 1024 * 1024;

// Attributes that a file put in the place of another must take over from it.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The path as the W functions take it; nothing for a path that cannot name a file (a NUL inside
// would silently cut it short).
std::optional<std::wstring> widePath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return widen(path);
}

DWORD attributesOf(const std::string& path) {
    std::optional<std::wstring> wide = widePath(path);
    return wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool isFile(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A file moved into place carries the attributes of the temporary file: give it back those of
// the file it replaced.
void restoreAttributes(const std::wstring& path, DWORD previous) {
    DWORD current = GetFileAttributesW(path.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    DWORD wanted = (current & ~kKeptAttributes) | (previous & kKeptAttributes);
    if (wanted != current) {
        SetFileAttributesW(path.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted);
    }
}

// Errors after which the replacement still has its own name and a plain move finishes the job:
// the file system cannot replace (nothing changed), or ReplaceFileW got the old file out of the
// way (deleted, or kept under a name of its own) but could not move the new one in.
bool moveFinishesReplace(DWORD error) {
    return error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
           error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        constexpr size_t kChunk = 1 << 20;
        auto count = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), count, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

unsigned long systemReplace(const wchar_t* replaced, const wchar_t* replacement) {
    return ReplaceFileW(replaced, replacement, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr)
               ? ERROR_SUCCESS
               : GetLastError();
}

bool WindowsFiles::fileExists(const std::string& path) {
    return isFile(attributesOf(path));
}

bool WindowsFiles::folderExists(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WindowsFiles::isReadOnly(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return isFile(attributes) && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool WindowsFiles::createEmptyFile(const std::string& path) {
    std::optional<std::wstring> wide = widePath(path);
    if (!wide) {
        return false;
    }
    Handle file(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

std::optional<std::string> WindowsFiles::readFile(const std::string& path) {
    std::optional<std::wstring> wide = widePath(path);
    if (!wide) {
        return std::nullopt;
    }
    Handle file(CreateFileW(wide->c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestFileRead) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        auto wanted = static_cast<DWORD>(bytes.size() - filled);
        if (!ReadFile(file.get(), bytes.data() + filled, wanted, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            break; // the file shrank while it was read
        }
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}

bool WindowsFiles::writeNewFile(const std::string& path, std::string_view bytes) {
    std::optional<std::wstring> wide = widePath(path);
    if (!wide) {
        return false;
    }
    Handle file(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
}

bool WindowsFiles::replaceFile(const std::string& from, const std::string& to) {
    std::optional<std::wstring> source = widePath(from);
    std::optional<std::wstring> target = widePath(to);
    if (!source || !target) {
        return false;
    }
    DWORD previous = GetFileAttributesW(target->c_str());
    if (previous == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(source->c_str(), target->c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if ((previous & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    // Any other error (ERROR_UNABLE_TO_REMOVE_REPLACED among them) left both files as they were.
    const DWORD error = replace_(target->c_str(), source->c_str());
    if (error != ERROR_SUCCESS &&
        (!moveFinishesReplace(error) ||
         !MoveFileExW(source->c_str(), target->c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
        return false;
    }
    restoreAttributes(*target, previous);
    return true;
}

bool WindowsFiles::removeFile(const std::string& path) {
    std::optional<std::wstring> wide = widePath(path);
    return wide && DeleteFileW(wide->c_str()) != 0;
}

bool WindowsFiles::createFolders(const std::string& path) {
    std::optional<std::wstring> wide = widePath(path);
    if (!wide) {
        return false;
    }
    // Each parent in turn, from the root; the ones that exist already refuse quietly.
    for (size_t slash = wide->find(L'\\', 3); slash != std::wstring::npos;
         slash = wide->find(L'\\', slash + 1)) {
        CreateDirectoryW(wide->substr(0, slash).c_str(), nullptr);
    }
    CreateDirectoryW(wide->c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace quellix::win
