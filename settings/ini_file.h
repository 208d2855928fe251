#pragma once
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tamaruka {

// Windows INI files ("private profiles") in code page 932. Names and values
// are UTF-8 here and code page 932 in the file.
//
// Reading: a missing file, section or key reads as "". Section and key names
// compare without regard to ASCII case; the first match counts. Blanks and
// tabs around a value are removed, then one pair of enclosing quotes ("..."
// or '...'). Lines ending in CRLF or LF are both understood.
//
// Writing: creates the file, the section and the key when they are missing;
// every other line, comment and section stays byte for byte. The file is
// written to a temporary file beside it and renamed over it, so a reader
// never sees half a file and a failed write leaves the old one intact.
//
// Both read the file as a stream of lines: memory holds the line being
// handled, never the whole file.
//
// Only a regular file of at most profileFileLimit bytes, with no line longer
// than profileLineLimit bytes, has values: anything else (a FIFO, a device,
// a file that never ends) reads as "" with the reason, and is never
// rewritten, so that a read always ends and nothing the user keeps is lost.

inline constexpr std::size_t profileValueLimit = 255;  // bytes, as the 256-byte buffer allows
inline constexpr std::size_t profileFileLimit = 1024 * 1024;
inline constexpr std::size_t profileLineLimit = 64 * 1024;

// Why a settings file has no usable values; the messages name the limits.
enum class ProfileFileError { NotRegularFile = 1, TooLarge, LineTooLong };
std::error_code make_error_code(ProfileFileError error);

// The value, cut to profileValueLimit bytes of code page 932 (a lead byte
// left without its trail byte by the cut is dropped). When the file exists
// but cannot be read, or is beyond the limits, the reason goes to *failure.
std::string readProfileString(const std::string& file, std::string_view section,
                              std::string_view key, std::error_code* failure = nullptr);

// False when the write could not be made: the folder refuses the file, the
// disk is full, a name or value cannot be held in code page 932, the value
// contains a line break (which would split the line), or the file there is
// beyond the limits above. What went wrong is stored in *failure when it is
// given. A symbolic link at the path is replaced by the new file, never
// written through: the file it names stays as it was.
bool writeProfileString(const std::string& file, std::string_view section,
                        std::string_view key, std::string_view value,
                        std::error_code* failure = nullptr);

// Several keys of one section in one rewrite of the file: all of them are
// stored, or (on failure) none. The keys are distinct; new ones are added in
// the order given.
struct ProfileEntry {
    std::string_view key;
    std::string_view value;
};
bool writeProfileStrings(const std::string& file, std::string_view section,
                         const std::vector<ProfileEntry>& entries,
                         std::error_code* failure = nullptr);

}  // namespace tamaruka

template <>
struct std::is_error_code_enum<tamaruka::ProfileFileError> : std::true_type {};
