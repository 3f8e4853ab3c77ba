#include "config/profile.h"
#include "text.h"

#include <algorithm>
#include <vector>

namespace quellix::profile {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr size_t kNone = std::string_view::npos;

using text::sameLetters, text::trimmed;

bool isUtf16Text(std::string_view file) {
    return file.starts_with(kUtf16LeMark) || file.starts_with(kUtf16BeMark);
}

// One line of the file, as offsets into it.
struct Line {
    size_t begin;
    size_t end;  // end of the text, before the line break
    size_t next; // start of the next line
};

std::vector<Line> splitLines(std::string_view file) {
    std::vector<Line> lines;
    size_t pos = isUtf8Text(file) ? kUtf8Mark.size() : 0;
    while (pos < file.size()) {
        size_t end = file.find_first_of("\r\n", pos);
        if (end == kNone) {
            lines.push_back({pos, file.size(), file.size()});
            break;
        }
        size_t next = end + 1;
        if (file[end] == '\r' && next < file.size() && file[next] == '\n') {
            ++next;
        }
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

std::string_view textOf(std::string_view file, const Line& line) {
    return file.substr(line.begin, line.end - line.begin);
}

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    size_t valueBegin = 0; // offset in the file just after the key's "="
};

Parsed parse(std::string_view file, const Line& line) {
    std::string_view text = textOf(file, line);
    std::string_view body = trimmed(text);
    if (body.starts_with('[')) {
        // Without a closing bracket the line is read as any other line, as the platform does.
        if (size_t close = body.rfind(']'); close != kNone) {
            return {Kind::Section, body.substr(1, close - 1), 0};
        }
    }
    size_t equals = text.find('=');
    if (equals == kNone) {
        return {};
    }
    return {Kind::Key, trimmed(text.substr(0, equals)), line.begin + equals + 1};
}

struct Found {
    bool section = false;
    size_t lastFilledLine = kNone; // last non-blank line of the section, its header included
    size_t keyLine = kNone;
    size_t valueBegin = 0;
};

// The first section named `section` and the first key named `key` in it.
Found locate(std::string_view file, const std::vector<Line>& lines, std::string_view section,
             std::string_view key) {
    Found found;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        Parsed line = parse(file, lines[i]);
        if (line.kind == Kind::Section) {
            if (found.section) {
                break;
            }
            inside = sameLetters(line.name, section);
            if (inside) {
                found.section = true;
                found.lastFilledLine = i;
            }
            continue;
        }
        if (!inside) {
            continue;
        }
        if (!trimmed(textOf(file, lines[i])).empty()) {
            found.lastFilledLine = i;
        }
        if (line.kind == Kind::Key && sameLetters(line.name, key)) {
            found.keyLine = i;
            found.valueBegin = line.valueBegin;
            break;
        }
    }
    return found;
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool hasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != kNone;
}

bool storableName(std::string_view name) {
    return !name.empty() && trimmed(name).size() == name.size() && !hasLineBreakOrNul(name);
}

std::string lineEnding(std::string_view file) {
    size_t at = file.find_first_of("\r\n");
    if (at == kNone || (file[at] == '\r' && at + 1 < file.size() && file[at + 1] == '\n')) {
        return "\r\n";
    }
    return std::string(1, file[at]);
}

} // namespace

bool isUtf8Text(std::string_view file) {
    return file.starts_with(kUtf8Mark);
}

std::optional<std::string> readValue(std::string_view file, std::string_view section,
                                     std::string_view key) {
    section = trimmed(section);
    key = trimmed(key);
    if (section.empty() || key.empty() || isUtf16Text(file)) {
        return std::nullopt;
    }
    std::vector<Line> lines = splitLines(file);
    Found found = locate(file, lines, section, key);
    if (found.keyLine == kNone) {
        return std::nullopt;
    }
    const Line& line = lines[found.keyLine];
    std::string_view raw = file.substr(found.valueBegin, line.end - found.valueBegin);
    return std::string(withoutQuotes(trimmed(raw)));
}

std::optional<std::string> writeValue(std::string_view file, std::string_view section,
                                      std::string_view key, std::string_view value) {
    if (!storableName(section) || !storableName(key) || section.find(']') != kNone ||
        key.find('=') != kNone || key.starts_with('[') || hasLineBreakOrNul(value) ||
        isUtf16Text(file)) {
        return std::nullopt;
    }
    std::vector<Line> lines = splitLines(file);
    Found found = locate(file, lines, section, key);
    std::string result(file);
    std::string keyLine = std::string(key) + "=" + std::string(value);

    if (found.keyLine != kNone) {
        const Line& line = lines[found.keyLine];
        result.replace(found.valueBegin, line.end - found.valueBegin, value);
        return result;
    }
    std::string eol = lineEnding(file);
    if (found.section) {
        result.insert(lines[found.lastFilledLine].end, eol + keyLine);
        return result;
    }
    size_t textStart = isUtf8Text(file) ? kUtf8Mark.size() : 0;
    if (file.size() > textStart && file.back() != '\n' && file.back() != '\r') {
        result += eol;
    }
    result += "[" + std::string(section) + "]" + eol + keyLine + eol;
    return result;
}

} // namespace quellix::profile
