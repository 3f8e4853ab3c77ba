#pragma once
// The banner's download over plain HTTP, decided here as text and bytes: the address split into
// what a socket needs, and the reply taken in as it arrives, within one limit in bytes for the
// whole transfer (one in time is kept by whoever moves the bytes).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellix {

struct DownloadLimits {
    std::size_t maxBytes = 8u << 20; // a banner is small; anything larger is not one
    std::uint32_t maxMilliseconds = 15000;
};

struct HttpTarget {
    std::string host;
    std::string port;    // in digits, as a name resolver takes it
    std::string request; // the whole GET, sent as it is
};

// http://host[:port][/path]; nothing for any other address, https included.
std::optional<HttpTarget> httpTarget(std::string_view address);

enum class Reception { More, Complete, Refused };

struct HttpReply {
    std::string received;              // every byte so far, the headers included
    std::size_t bodyStart = 0;         // 0 until the headers have ended
    std::optional<std::size_t> length; // the declared body length
};

// Takes the bytes just received; none means the server has closed the connection. Refused: not a
// 200, a declared length or bytes beyond the limit, headers that never end, a body cut short.
Reception receive(HttpReply& reply, std::string_view bytes, std::size_t maxBytes);

// The body of a complete reply.
std::string bodyOf(const HttpReply& reply);

} // namespace quellix
