#include "windows/banner_fetch_win.h"

#include <wininet.h>

#include <memory>
#include <optional>

namespace quellix::win {
namespace {

// A banner is small; anything larger is not one.
constexpr size_t kMaxBytes = 8u << 20;
constexpr DWORD kTimeoutMs = 15000;

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

DWORD WINAPI loadThread(LPVOID parameter) {
    auto* shared = static_cast<std::shared_ptr<BannerLoad>*>(parameter);
    std::shared_ptr<BannerLoad> load = std::move(*shared);
    delete shared;
    std::optional<BannerMovie> movie;
    if (std::optional<std::string> bytes = download(load->address)) {
        movie = decodeBanner(*bytes);
    }
    AcquireSRWLockExclusive(&load->lock);
    load->movie = std::move(movie);
    load->done = true;
    // Under the lock: once abandonLoad has returned, the window may be gone and its handle reused.
    if (load->target != nullptr) {
        PostMessageW(load->target, load->message, 0, 0);
    }
    ReleaseSRWLockExclusive(&load->lock);
    return 0;
}

} // namespace

std::shared_ptr<BannerLoad> loadInBackground(HWND target, UINT message,
                                             const std::wstring& address) {
    auto load = std::make_shared<BannerLoad>();
    load->target = target;
    load->message = message;
    load->address = address;
    auto* shared = new std::shared_ptr<BannerLoad>(load);
    HANDLE thread = CreateThread(nullptr, 0, loadThread, shared, 0, nullptr);
    if (thread == nullptr) {
        delete shared;
        return nullptr;
    }
    CloseHandle(thread); // nothing waits for it: it ends on its own
    return load;
}

void abandonLoad(BannerLoad& load) {
    AcquireSRWLockExclusive(&load.lock);
    load.target = nullptr;
    ReleaseSRWLockExclusive(&load.lock);
}

bool takeLoadedMovie(BannerLoad& load, std::optional<BannerMovie>& movie) {
    AcquireSRWLockExclusive(&load.lock);
    const bool done = load.done;
    if (done) {
        movie = std::move(load.movie);
    }
    ReleaseSRWLockExclusive(&load.lock);
    return done;
}

} // namespace quellix::win
