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
// handled, never the whole file, and a read stops at the key it looks for.

inline constexpr std::size_t profileValueLimit = 255;  // bytes, as the 256-byte buffer allows

// The value, cut to profileValueLimit bytes of code page 932 (a lead byte
// left without its trail byte by the cut is dropped).
std::string readProfileString(const std::string& file, std::string_view section,
                              std::string_view key);

// False when the write could not be made: the folder refuses the file, the
// disk is full, a name or value cannot be held in code page 932, or the value
// contains a line break (which would split the line). What went wrong is
// stored in *failure when it is given.
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
