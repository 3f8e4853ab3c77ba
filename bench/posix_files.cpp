#include "posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace quellix::bench {
namespace {

std::string native(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

bool statOf(const std::string& path, struct stat& info) {
    return ::stat(native(path).c_str(), &info) == 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool PosixFiles::fileExists(const std::string& path) {
    struct stat info {};
    return statOf(path, info) && S_ISREG(info.st_mode);
}

bool PosixFiles::folderExists(const std::string& path) {
    struct stat info {};
    return statOf(path, info) && S_ISDIR(info.st_mode);
}

bool PosixFiles::isReadOnly(const std::string& path) {
    return fileExists(path) && ::access(native(path).c_str(), W_OK) != 0;
}

bool PosixFiles::createEmptyFile(const std::string& path) {
    Descriptor file(::open(native(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644));
    return file.get() >= 0;
}

std::optional<std::string> PosixFiles::readFile(const std::string& path) {
    Descriptor file(::open(native(path).c_str(), O_RDONLY));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    ssize_t count = 0;
    while ((count = ::read(file.get(), buffer, sizeof(buffer))) > 0) {
        bytes.append(buffer, static_cast<size_t>(count));
    }
    if (count < 0) {
        return std::nullopt;
    }
    return bytes;
}

bool PosixFiles::writeNewFile(const std::string& path, std::string_view bytes) {
    Descriptor file(::open(native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
    if (file.get() < 0) {
        return false;
    }
    while (!bytes.empty()) {
        ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return ::fsync(file.get()) == 0;
}

bool PosixFiles::replaceFile(const std::string& from, const std::string& to) {
    return std::rename(native(from).c_str(), native(to).c_str()) == 0;
}

bool PosixFiles::removeFile(const std::string& path) {
    return ::unlink(native(path).c_str()) == 0;
}

} // namespace quellix::bench
