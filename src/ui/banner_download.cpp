#include "ui/banner_download.h"
#include "text.h"

#include <algorithm>
#include <charconv>

namespace quellix {

namespace {

using text::sameLetters, text::trimmed;

// The status line and headers, `head` without its blank line: false when not a 200 or when a
// length is declared that is not a number or goes beyond the limit.
bool acceptHead(HttpReply& reply, std::string_view head, std::size_t maxBytes) {
    const size_t lineEnd = std::min(head.find("\r\n"), head.size());
    const std::string_view status = head.substr(0, lineEnd);
    const size_t space = status.find(' ');
    if (!status.starts_with("HTTP/") || space == std::string_view::npos ||
        status.substr(space + 1, 3) != "200" ||
        (status.size() > space + 4 && status[space + 4] != ' ')) {
        return false;
    }
    for (size_t start = lineEnd + 2; start < head.size();) {
        const size_t end = std::min(head.find("\r\n", start), head.size());
        const std::string_view line = head.substr(start, end - start);
        const size_t colon = line.find(':');
        if (colon != std::string_view::npos &&
            sameLetters(line.substr(0, colon), "Content-Length")) {
            const std::string_view value = trimmed(line.substr(colon + 1));
            std::size_t length = 0;
            const auto [rest, error] =
                std::from_chars(value.data(), value.data() + value.size(), length);
            if (error != std::errc() || rest != value.data() + value.size() ||
                length > maxBytes - reply.bodyStart) {
                return false;
            }
            reply.length = length;
        }
        start = end + 2;
    }
    return true;
}

} // namespace

std::optional<HttpTarget> httpTarget(std::string_view address) {
    constexpr std::string_view scheme = "http://";
    if (address.size() < scheme.size() || !sameLetters(address.substr(0, scheme.size()), scheme)) {
        return std::nullopt;
    }
    address.remove_prefix(scheme.size());
    const size_t slash = std::min(address.find('/'), address.size());
    const std::string_view authority = address.substr(0, slash);
    const std::string path = slash < address.size() ? std::string(address.substr(slash)) : "/";
    const size_t colon = authority.find(':');
    HttpTarget target{std::string(authority.substr(0, colon)), "80", ""};
    if (colon != std::string_view::npos) {
        target.port = authority.substr(colon + 1);
    }
    if (target.host.empty() || target.port.empty() ||
        target.port.find_first_not_of("0123456789") != std::string::npos ||
        authority.find_first_of("@ \t\r\n") != std::string_view::npos ||
        path.find_first_of(" \t\r\n") != std::string::npos) {
        return std::nullopt;
    }
    // HTTP/1.0: the body ends with the connection or at its declared length, never in chunks.
    target.request = "GET " + path + " HTTP/1.0\r\nHost: " + std::string(authority) +
                     "\r\nUser-Agent: Quellix\r\nConnection: close\r\n\r\n";
    return target;
}

Reception receive(HttpReply& reply, std::string_view bytes, std::size_t maxBytes) {
    if (reply.received.size() + bytes.size() > maxBytes) {
        return Reception::Refused;
    }
    reply.received.append(bytes);
    if (reply.bodyStart == 0) {
        const size_t blank = reply.received.find("\r\n\r\n");
        if (blank == std::string::npos) {
            return bytes.empty() ? Reception::Refused : Reception::More;
        }
        reply.bodyStart = blank + 4;
        if (!acceptHead(reply, std::string_view(reply.received).substr(0, blank), maxBytes)) {
            return Reception::Refused;
        }
    }
    const size_t body = reply.received.size() - reply.bodyStart;
    if (reply.length && body >= *reply.length) {
        return Reception::Complete;
    }
    if (bytes.empty()) {
        return reply.length ? Reception::Refused : Reception::Complete;
    }
    return Reception::More;
}

std::string bodyOf(const HttpReply& reply) {
    return reply.received.substr(reply.bodyStart, reply.length.value_or(std::string::npos));
}

} // namespace quellix
