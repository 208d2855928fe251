#pragma once
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tamaruka {

struct MusicSettings;

// The settings file: one section and three keys, stored in code page 932
// (the keys become the bytes 42 47 4D 8B E6 95 AA, 42 47 4D D8 CB DF B0 C4
// and 42 47 4D CC A7 B2 D9). Declared once; everyone uses these names.
inline constexpr std::string_view settingsSection = "Section";
inline constexpr std::string_view bgmKindKey = "BGM区分";
inline constexpr std::string_view bgmRepeatKey = "BGMﾘﾋﾟｰﾄ";
inline constexpr std::string_view bgmFileKey = "BGMﾌｧｲﾙ";

// "<folder>/Tamaruka.ini": the default settings live beside the program.
std::string settingsFilePath(const std::string& programFolder);

// The value of the key, or "" when the file, the section or the key is
// missing. Values longer than 255 bytes (in code page 932) come back cut.
std::string ReadIni(std::string_view section, std::string_view key, const std::string& file);

// Stores the value under the key, creating file, section and key as needed,
// keeping every other line. Section and key names are cut to 127 characters.
// The file is replaced atomically; a failed write (no access, full disk, a
// value that code page 932 cannot hold) leaves the old file as it was and
// returns false, with the reason in *failure when it is given. Callers may
// ignore the result.
bool WriteIni(std::string_view section, std::string_view key, std::string_view value,
              const std::string& file, std::error_code* failure = nullptr);

// Several keys of one section in one rewrite of the file: all of them are
// stored, or none (the old file stays). Key names are cut as WriteIni cuts them.
struct IniKey {
    std::string_view key;
    std::string value;
};
bool WriteIniKeys(std::string_view section, const std::vector<IniKey>& keys, const std::string& file,
                  std::error_code* failure = nullptr);

// Reads the three settings of settingsFileToRead(programFolder) into
// settings. Each setting is one step under the error rule: a value that
// is not a number, or does not fit 16 bits, leaves the setting as it was.
// A file that cannot be used (no regular file, beyond the size limits,
// unreadable) gives every setting its default, with one line on stderr.
// Afterwards a kind of 2 always comes with an existing music file.
void LoadSettings(MusicSettings& settings, const std::string& programFolder);


}  // namespace tamaruka
