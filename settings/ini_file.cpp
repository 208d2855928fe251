#include "settings/ini_file.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/code_page_932.h"

namespace tamaruka {
namespace {

// One line of the file as it stands, with its own line ending ("\r\n", "\n"
// or "" for a last line without one), so that untouched lines are written
// back byte for byte.
struct Line {
    std::string text;
    std::string ending;
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value after "=", untrimmed
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// ASCII letters fold to upper case; both bytes of a double-byte character
// stay as they are (a trail byte may look like an ASCII letter).
std::string foldedName(std::string_view cp932)
{
    std::string out(cp932);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (isCp932LeadByte(byte)) {
            ++i;
        } else if (byte >= 'a' && byte <= 'z') {
            out[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return out;
}

std::vector<Line> splitLines(const std::string& bytes)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t newline = bytes.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        std::size_t end = newline;
        if (end > start && bytes[end - 1] == '\r') --end;
        lines.push_back({bytes.substr(start, end - start), bytes.substr(end, newline + 1 - end)});
        start = newline + 1;
    }
    return lines;
}

ParsedLine parse(const Line& line)
{
    ParsedLine parsed;
    const std::string_view text = trimmed(line.text);
    if (text.empty() || text.front() == ';') return parsed;
    if (text.front() == '[') {
        const std::string_view inner = text.substr(1);
        parsed.kind = LineKind::Section;
        parsed.name = trimmed(inner.substr(0, inner.find(']')));
        return parsed;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = trimmed(text.substr(0, equals));
    parsed.value = text.substr(equals + 1);
    return parsed;
}

// Where a key lives: the index of its section's header line, of the key's
// line, and of the last line that belongs to the section.
struct Position {
    std::optional<std::size_t> section;
    std::optional<std::size_t> key;
    std::size_t sectionEnd = 0;  // last non-blank line of the section
};

Position find(const std::vector<Line>& lines, std::string_view section, std::string_view key)
{
    Position position;
    const std::string wantedSection = foldedName(section);
    const std::string wantedKey = foldedName(key);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parse(lines[i]);
        if (!position.section) {
            if (parsed.kind == LineKind::Section && foldedName(parsed.name) == wantedSection) {
                position.section = i;
                position.sectionEnd = i;
            }
            continue;
        }
        if (parsed.kind == LineKind::Section) break;
        if (!trimmed(lines[i].text).empty()) position.sectionEnd = i;
        if (!position.key && parsed.kind == LineKind::Key &&
            foldedName(parsed.name) == wantedKey)
            position.key = i;
    }
    return position;
}

// nullopt when the file exists but cannot be read; "" when it does not exist.
std::optional<std::string> readFileBytes(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::string();
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (count == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return bytes;
}

std::string unquoted(std::string_view value)
{
    value = trimmed(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// The first `limit` bytes, without a lead byte whose trail byte was cut off.
std::string cutToLimit(const std::string& cp932, std::size_t limit)
{
    if (cp932.size() <= limit) return cp932;
    std::size_t i = 0;
    while (i < limit) {
        const std::size_t width = isCp932LeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
        if (i + width > limit) break;
        i += width;
    }
    return cp932.substr(0, i);
}

}  // namespace

std::string readProfileString(const std::string& file, std::string_view section,
                              std::string_view key)
{
    const auto sectionBytes = utf8ToCp932(section);
    const auto keyBytes = utf8ToCp932(key);
    if (!sectionBytes || !keyBytes) return {};
    const auto content = readFileBytes(file);
    if (!content) return {};
    const std::vector<Line> lines = splitLines(*content);
    const Position position = find(lines, *sectionBytes, *keyBytes);
    if (!position.key) return {};
    const std::string value = unquoted(parse(lines[*position.key]).value);
    return cp932ToUtf8(cutToLimit(value, profileValueLimit));
}

bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value)
{
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    if (section.find_first_of("]\r\n") != std::string_view::npos) return false;
    if (key.find_first_of("=\r\n") != std::string_view::npos) return false;
    const auto sectionBytes = utf8ToCp932(section);
    const auto keyBytes = utf8ToCp932(key);
    const auto valueBytes = utf8ToCp932(value);
    if (!sectionBytes || !keyBytes || !valueBytes) return false;

    const auto content = readFileBytes(file);
    if (!content) return false;
    std::vector<Line> lines = splitLines(*content);

    // New lines follow the file's own line endings; a new file gets CRLF.
    const bool lfOnly = content->find('\n') != std::string::npos &&
                        content->find("\r\n") == std::string::npos;
    const std::string newline = lfOnly ? "\n" : "\r\n";

    const Position position = find(lines, *sectionBytes, *keyBytes);
    if (position.key) {
        const std::string keyText(trimmed(lines[*position.key].text.substr(
            0, lines[*position.key].text.find('='))));
        lines[*position.key].text = keyText + "=" + *valueBytes;
    } else {
        std::size_t insertAt = lines.size();
        std::vector<Line> added;
        if (position.section) {
            insertAt = position.sectionEnd + 1;
        } else {
            added.push_back({"[" + *sectionBytes + "]", newline});
        }
        added.push_back({*keyBytes + "=" + *valueBytes, newline});
        if (insertAt > 0 && lines[insertAt - 1].ending.empty()) lines[insertAt - 1].ending = newline;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(),
                     added.end());
    }

    std::string bytes;
    for (const Line& line : lines) bytes += line.text + line.ending;
    return replaceFileAtomically(file, bytes);
}

}  // namespace tamaruka
