#include "windows/banner_fetch_win.h"

#include "ui/banner_download.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>
#include <optional>

namespace quellix::win {
namespace {

// A socket of its own, so that the transfer ends when this thread says: WinINet, under Wine, read
// a reply to its end before its handle closed, and let a slow server hold it past any time limit.
struct Connection {
    SOCKET socket = INVALID_SOCKET;
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { drop(); }
    void drop() {
        if (socket != INVALID_SOCKET) {
            // Dropped, not closed in turn: nothing more is read, and the server learns at once.
            const linger abort{1, 0};
            setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                       sizeof(abort));
            closesocket(socket);
            socket = INVALID_SOCKET;
        }
    }
};

// Waits until the socket can be read (or written) or the deadline has passed.
bool ready(SOCKET socket, bool toWrite, ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
        return false;
    }
    const ULONGLONG left = deadline - now;
    timeval wait{static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
    fd_set sockets, failed;
    FD_ZERO(&sockets);
    FD_ZERO(&failed);
    FD_SET(socket, &sockets);
    FD_SET(socket, &failed);
    return select(0, toWrite ? nullptr : &sockets, toWrite ? &sockets : nullptr, &failed, &wait) ==
               1 &&
           FD_ISSET(socket, &sockets);
}

bool connectTo(Connection& connection, const addrinfo& address, ULONGLONG deadline) {
    connection.socket = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    u_long nonBlocking = 1;
    return connection.socket != INVALID_SOCKET &&
           ioctlsocket(connection.socket, FIONBIO, &nonBlocking) == 0 &&
           (connect(connection.socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) ==
                0 ||
            WSAGetLastError() == WSAEWOULDBLOCK) &&
           ready(connection.socket, true, deadline);
}

std::optional<std::string> transfer(const HttpTarget& target, const DownloadLimits& limits) {
    const ULONGLONG deadline = GetTickCount64() + limits.maxMilliseconds;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(target.host.c_str(), target.port.c_str(), &hints, &found) != 0) {
        return std::nullopt;
    }
    Connection connection;
    bool connected = false;
    for (const addrinfo* address = found; address != nullptr && !connected;
         address = address->ai_next) {
        connection.drop();
        connected = connectTo(connection, *address, deadline);
    }
    freeaddrinfo(found);
    for (size_t sent = 0; connected && sent < target.request.size();) {
        const int n = send(connection.socket, target.request.data() + sent,
                           static_cast<int>(target.request.size() - sent), 0);
        connected = (n > 0 || WSAGetLastError() == WSAEWOULDBLOCK) &&
                    ready(connection.socket, true, deadline);
        sent += n > 0 ? static_cast<size_t>(n) : 0;
    }
    HttpReply reply;
    char chunk[16384];
    while (connected && ready(connection.socket, false, deadline)) {
        const int n = recv(connection.socket, chunk, sizeof(chunk), 0);
        if (n < 0) {
            break;
        }
        switch (receive(reply, std::string_view(chunk, static_cast<size_t>(n)), limits.maxBytes)) {
        case Reception::More:
            continue;
        case Reception::Complete:
            return bodyOf(reply);
        case Reception::Refused:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> download(const std::string& address) {
    const std::optional<HttpTarget> target = httpTarget(address);
    WSADATA data;
    if (!target || WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return std::nullopt;
    }
    std::optional<std::string> body = transfer(*target, DownloadLimits{});
    WSACleanup();
    return body;
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
                                             const std::string& address) {
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
