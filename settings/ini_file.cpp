#include "settings/ini_file.h"

#include <cerrno>
#include <optional>
#include <unistd.h>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "common/atomic_file.h"
#include "common/file_without_blocking.h"
#include "settings/code_page_932.h"

namespace tamaruka {
namespace {

// One line of the file as it stands, with its own line ending ("\r\n", "\n";
// "\r" or "" for a last line without a whole one), so that untouched lines
// are written back byte for byte.
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

class ProfileFileCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "settings file"; }
    std::string message(int code) const override
    {
        switch (static_cast<ProfileFileError>(code)) {
        case ProfileFileError::NotRegularFile: return "not a regular file";
        case ProfileFileError::TooLarge: return "larger than 1 MiB";
        case ProfileFileError::LineTooLong: return "a line longer than 64 KiB";
        }
        return "unusable settings file";
    }
};

// Reads a file line by line through a fixed buffer: memory holds the line
// being handled, never the whole file. Past profileFileLimit bytes or a line
// of more than profileLineLimit bytes it stops with that error.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd) {}

    // The next line into `line`; false at the end of the file or on a read
    // error (error() tells them apart).
    bool next(Line& line)
    {
        line.text.clear();
        line.ending.clear();
        bool any = false;
        for (;;) {
            if (start_ == end_ && !refill()) {
                // A last line without a line break. A carriage return that
                // ends it is the start of a line break, never part of a value.
                if (!line.text.empty() && line.text.back() == '\r') {
                    line.text.pop_back();
                    line.ending = "\r";
                }
                return any;
            }
            any = true;
            const char* begin = buffer_ + start_;
            const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', end_ - start_));
            const std::size_t length = newline ? static_cast<std::size_t>(newline - begin) : end_ - start_;
            if (line.text.size() + length > profileLineLimit) {
                error_ = ProfileFileError::LineTooLong;
                return false;
            }
            line.text.append(begin, length);
            if (newline == nullptr) {
                start_ = end_;
                continue;
            }
            start_ = static_cast<std::size_t>(newline - buffer_) + 1;
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.ending = "\r\n";
            } else {
                line.ending = "\n";
            }
            return true;
        }
    }

    std::error_code error() const { return error_; }

    // Back to the first line.
    bool rewind()
    {
        start_ = end_ = 0;
        total_ = 0;
        if (::lseek(fd_, 0, SEEK_SET) == 0) return true;
        error_ = {errno, std::generic_category()};
        return false;
    }

private:
    bool refill()
    {
        if (error_) return false;
        for (;;) {
            const ssize_t count = ::read(fd_, buffer_, sizeof buffer_);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) error_ = {errno, std::generic_category()};
            start_ = 0;
            end_ = count > 0 ? static_cast<std::size_t>(count) : 0;
            total_ += end_;
            if (total_ > profileFileLimit) {
                // A file that grew while it was read, or one whose size fstat does not know.
                error_ = ProfileFileError::TooLarge;
                end_ = 0;
            }
            return end_ > 0;
        }
    }

    int fd_;
    char buffer_[64 * 1024];
    std::size_t start_ = 0, end_ = 0;
    std::size_t total_ = 0;  // bytes read since the start
    std::error_code error_;
};

// The settings file opened for reading; no descriptor when it does not exist
// (which reads as an empty file), cannot be opened, or is no regular file
// within the size limit (error set). Opened without blocking, so that a FIFO
// is turned away instead of waiting for a writer.
class OpenedFile {
public:
    explicit OpenedFile(const std::string& path)
    {
        FileWithoutBlocking opened = openWithoutBlocking(path);
        if (opened.error != 0) {
            if (opened.error != ENOENT) error_ = {opened.error, std::generic_category()};
        } else if (!S_ISREG(opened.status.st_mode)) {
            error_ = ProfileFileError::NotRegularFile;
        } else if (static_cast<std::uintmax_t>(opened.status.st_size) > profileFileLimit) {
            error_ = ProfileFileError::TooLarge;
        } else {
            fd_ = std::move(opened.fd);
        }
    }

    int fd() const { return fd_.get(); }
    std::error_code error() const { return error_; }

private:
    FileDescriptor fd_;
    std::error_code error_;
};

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

// Where keys live, found in one pass over the lines: the index of their
// section's header line, of each key's line, and of the last line that
// belongs to the section; and which line endings the file uses.
struct Position {
    std::optional<std::size_t> section;
    std::vector<std::optional<std::size_t>> keys;  // the line of each wanted key
    std::size_t sectionEnd = 0;  // last non-blank line of the section
    std::string firstKeyValue;   // the first wanted key's value, untrimmed
    bool anyLf = false;          // a line ends in a bare LF
    bool anyCrLf = false;        // a line ends in CRLF
};

// The first match counts. The scan goes to the end of the file, so that a
// file beyond the limits has no values at all, wherever the fault lies.
std::error_code find(LineReader& reader, std::string_view section, const std::vector<std::string>& keys,
                     Position& position)
{
    const std::string wantedSection = foldedName(section);
    std::vector<std::string> wantedKeys;
    for (const std::string& key : keys) wantedKeys.push_back(foldedName(key));
    position.keys.assign(keys.size(), std::nullopt);
    bool sectionOver = false;
    Line line;
    for (std::size_t i = 0; reader.next(line); ++i) {
        position.anyLf = position.anyLf || line.ending == "\n";
        position.anyCrLf = position.anyCrLf || line.ending == "\r\n";
        if (sectionOver) continue;  // only the line endings are still of interest
        const ParsedLine parsed = parse(line);
        if (!position.section) {
            if (parsed.kind == LineKind::Section && foldedName(parsed.name) == wantedSection) {
                position.section = i;
                position.sectionEnd = i;
            }
            continue;
        }
        if (parsed.kind == LineKind::Section) {
            sectionOver = true;
            continue;
        }
        if (!trimmed(line.text).empty()) position.sectionEnd = i;
        if (parsed.kind != LineKind::Key) continue;
        const std::string name = foldedName(parsed.name);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (position.keys[k] || name != wantedKeys[k]) continue;
            position.keys[k] = i;
            if (k == 0) position.firstKeyValue = parsed.value;
            break;
        }
    }
    return reader.error();
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

std::error_code make_error_code(ProfileFileError error)
{
    static const ProfileFileCategory category;
    return {static_cast<int>(error), category};
}

std::string readProfileString(const std::string& file, std::string_view section,
                              std::string_view key, std::error_code* failure)
{
    const auto sectionBytes = utf8ToCp932(section);
    const auto keyBytes = utf8ToCp932(key);
    if (!sectionBytes || !keyBytes) return {};
    const OpenedFile opened(file);
    if (failure) *failure = opened.error();
    if (opened.fd() < 0) return {};
    LineReader reader(opened.fd());
    Position position;
    const std::error_code error = find(reader, *sectionBytes, {*keyBytes}, position);
    if (failure) *failure = error;
    if (error || !position.keys[0]) return {};
    return cp932ToUtf8(cutToLimit(unquoted(position.firstKeyValue), profileValueLimit));
}

bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value, std::error_code* failure)
{
    return writeProfileStrings(file, section, {{key, value}}, failure);
}

bool writeProfileStrings(const std::string& file, std::string_view section,
                         const std::vector<ProfileEntry>& entries, std::error_code* failure)
{
    const auto fail = [&](std::error_code error) {
        if (failure) *failure = error;
        return false;
    };
    const std::error_code invalid = std::make_error_code(std::errc::invalid_argument);
    if (section.find_first_of("]\r\n") != std::string_view::npos) return fail(invalid);
    const auto sectionBytes = utf8ToCp932(section);
    if (!sectionBytes) return fail(invalid);
    std::vector<std::string> keys, values;
    for (const ProfileEntry& entry : entries) {
        if (entry.value.find_first_of("\r\n") != std::string_view::npos) return fail(invalid);
        if (entry.key.find_first_of("=\r\n") != std::string_view::npos) return fail(invalid);
        const auto keyBytes = utf8ToCp932(entry.key);
        const auto valueBytes = utf8ToCp932(entry.value);
        if (!keyBytes || !valueBytes) return fail(invalid);
        if (keyBytes->size() + 1 + valueBytes->size() > profileLineLimit)
            return fail(ProfileFileError::LineTooLong);
        keys.push_back(*keyBytes);
        values.push_back(*valueBytes);
    }

    const OpenedFile opened(file);
    if (opened.error()) return fail(opened.error());
    // First pass: where the keys go. Second pass: the file again, changed there.
    std::optional<LineReader> reader;
    Position position;
    position.keys.assign(keys.size(), std::nullopt);
    if (opened.fd() >= 0) {
        reader.emplace(opened.fd());
        if (const std::error_code error = find(*reader, *sectionBytes, keys, position))
            return fail(error);
    }
    // New lines follow the file's own line endings; a new file gets CRLF.
    const std::string newline = position.anyLf && !position.anyCrLf ? "\n" : "\r\n";
    // Keys not in the file go after the section's last non-blank line, or
    // with a new section header at the end of the file.
    std::string newLines;
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (!position.keys[k]) newLines += keys[k] + "=" + values[k] + newline;

    const auto produce = [&](const ContentSink& sink) -> std::error_code {
        std::error_code error;
        if (reader) {
            if (!reader->rewind()) return reader->error();
            Line line;
            for (std::size_t i = 0; !error && reader->next(line); ++i) {
                const bool insertAfter = !newLines.empty() && position.section && i == position.sectionEnd;
                const auto found = std::find(position.keys.begin(), position.keys.end(), i);
                if (found != position.keys.end()) {
                    const std::string keyText(trimmed(std::string_view(line.text).substr(0, line.text.find('='))));
                    line.text = keyText + "=" + values[found - position.keys.begin()];
                }
                // Only the last line may lack a line break; it needs one when a line follows.
                if ((line.ending.empty() || line.ending == "\r") && (insertAfter || !position.section))
                    line.ending = line.ending.empty() ? newline : "\r\n";
                error = sink(line.text + line.ending);
                if (!error && insertAfter) error = sink(newLines);
            }
            if (!error) error = reader->error();
        }
        if (!error && !position.section) error = sink("[" + *sectionBytes + "]" + newline + newLines);
        return error;
    };
    if (const std::error_code error = replaceFileStreaming(file, produce))
        return fail(error);
    return true;
}

}  // namespace tamaruka
