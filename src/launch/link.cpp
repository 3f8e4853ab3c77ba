#include "launch/link.h"
#include "text.h"

namespace quellix {

namespace {
using text::isBlank;

int hexValue(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// Browsers hand a link over percent-encoded (a lone "%" becomes "%25"): each element is decoded
// once, and a "%" that starts no escape stays as it is.
std::string percentDecoded(std::string_view element) {
    std::string decoded;
    for (size_t i = 0; i < element.size(); ++i) {
        const int high =
            element[i] == '%' && i + 2 < element.size() ? hexValue(element[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(element[i + 2]) : -1;
        if (low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += element[i];
        }
    }
    return decoded;
}
} // namespace

std::string argumentText(std::string_view commandLine) {
    // The program name ends at the closing quote when it starts with one, else at the first blank;
    // this is how the system's own parser finds argv[0].
    size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        size_t close = commandLine.find('"', 1);
        end = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (end < commandLine.size() && !isBlank(commandLine[end])) {
            ++end;
        }
    }
    while (end < commandLine.size() && isBlank(commandLine[end])) {
        ++end;
    }
    return std::string(commandLine.substr(end));
}

LaunchLink cutLink(std::string_view arguments) {
    if (arguments.size() >= 2 && arguments.front() == '"' && arguments.back() == '"') {
        arguments = arguments.substr(1, arguments.size() - 2);
    }
    if (arguments.empty()) {
        return {"vide", ""};
    }
    LaunchLink elements;
    for (size_t start = 0;;) {
        size_t slash = arguments.find('/', start);
        elements.push_back(percentDecoded(arguments.substr(start, slash - start)));
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    return elements;
}

LaunchLink LireLien(ProcessPort& process) {
    return cutLink(argumentText(process.commandLine()));
}

bool isNoLink(const LaunchLink& link) {
    return !link.empty() && link.front() == "vide";
}

} // namespace quellix
