#include "windows/banner_fetch_win.h"

#include <wininet.h>

#include <memory>
#include <optional>

namespace quellix::win {
namespace {

// A banner is small; anything larger is not one.
constexpr size_t kMaxBytes = 8u << 20;
constexpr DWORD kTimeoutMs = 15000;

struct Job {
    HWND target;
    UINT message;
    WPARAM tag;
    std::wstring address;
};

struct InternetHandle {
    HINTERNET handle;
    explicit InternetHandle(HINTERNET h) : handle(h) {}
    ~InternetHandle() {
        if (handle != nullptr) {
            InternetCloseHandle(handle);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
};

bool isWebAddress(const std::wstring& address) {
    return address.rfind(L"http://", 0) == 0 || address.rfind(L"https://", 0) == 0;
}

std::optional<std::string> download(const std::wstring& address) {
    if (!isWebAddress(address)) {
        return std::nullopt;
    }
    InternetHandle session(
        InternetOpenW(L"Quellix", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.handle == nullptr) {
        return std::nullopt;
    }
    DWORD timeout = kTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_SEND_TIMEOUT}) {
        InternetSetOptionW(session.handle, option, &timeout, sizeof(timeout));
    }
    InternetHandle request(InternetOpenUrlW(session.handle, address.c_str(), nullptr, 0,
                                            INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES |
                                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD,
                                            0));
    if (request.handle == nullptr) {
        return std::nullopt;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr) ||
        status != 200) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[16384];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.handle, chunk, sizeof(chunk), &read)) {
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        if (bytes.size() + read > kMaxBytes) {
            return std::nullopt;
        }
        bytes.append(chunk, read);
    }
    return bytes;
}

DWORD WINAPI fetchThread(LPVOID parameter) {
    std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    std::unique_ptr<std::string> bytes;
    if (std::optional<std::string> fetched = download(job->address)) {
        bytes = std::make_unique<std::string>(std::move(*fetched));
    }
    // A window that is gone takes no message: the bytes are then freed here.
    if (PostMessageW(job->target, job->message, job->tag, reinterpret_cast<LPARAM>(bytes.get()))) {
        bytes.release();
    }
    return 0;
}

} // namespace

bool fetchInBackground(HWND target, UINT message, WPARAM tag, const std::wstring& address) {
    auto job = std::make_unique<Job>(Job{target, message, tag, address});
    HANDLE thread = CreateThread(nullptr, 0, fetchThread, job.get(), 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    job.release();
    CloseHandle(thread);
    return true;
}

} // namespace quellix::win
