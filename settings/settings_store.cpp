#include "settings/settings_store.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/program_folder.h"
#include "settings/music_settings.h"
#include "settings/settings_location.h"
#include "settings/ini_file.h"
#include "settings/number_rules.h"
#include "common/error_rule.h"

namespace tamaruka {
namespace {

// Section and key names travel in fixed fields of 128 characters: longer
// names are cut to 127 characters.
std::string_view cutToFieldOf128(std::string_view utf8)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (characters == 127) return utf8.substr(0, i);
            ++characters;
        }
    }
    return utf8;
}

// Reads the keys of one settings file. A file that cannot be read, or is
// beyond the limits, reads as empty (every setting its default) and is
// reported once, on stderr: the user learns why the settings are not taken.
class SettingsReader {
public:
    explicit SettingsReader(std::string file) : file_(std::move(file)) {}

    std::string read(std::string_view key)
    {
        if (unusable_) return {};
        std::error_code failure;
        std::string value = readProfileString(file_, settingsSection, key, &failure);
        if (failure) {
            unusable_ = true;
            std::fprintf(stderr, "%s: the settings file %s cannot be used (%s); the default settings apply.\n",
                         program_invocation_short_name, file_.c_str(), failure.message().c_str());
        }
        return value;
    }

private:
    std::string file_;
    bool unusable_ = false;
};

// One numeric setting: empty -> 0, a number -> its floor, anything else
// (not a number, beyond 16 bits) abandons the step and keeps the value.
void loadNumber(std::int16_t& setting, std::string_view key, SettingsReader& reader)
{
    runStep([&] {
        const auto number = settingNumber(reader.read(key));
        if (!number) throw StepError("setting is not a 16-bit number");
        setting = *number;
    });
}

}  // namespace

std::string settingsFilePath(const std::string& programFolder)
{
    return programFolder + "/Tamaruka.ini";
}

std::string ReadIni(std::string_view section, std::string_view key, const std::string& file)
{
    return readProfileString(file, section, key);
}

bool WriteIni(std::string_view section, std::string_view key, std::string_view value,
              const std::string& file, std::error_code* failure)
{
    return writeProfileString(file, cutToFieldOf128(section), cutToFieldOf128(key), value, failure);
}

bool WriteIniKeys(std::string_view section, const std::vector<IniKey>& keys, const std::string& file,
                  std::error_code* failure)
{
    std::vector<ProfileEntry> entries;
    for (const IniKey& key : keys) entries.push_back({cutToFieldOf128(key.key), key.value});
    return writeProfileStrings(file, cutToFieldOf128(section), entries, failure);
}

void LoadSettings(MusicSettings& settings, const std::string& programFolder)
{
    SettingsReader reader(settingsFileToRead(programFolder));
    loadNumber(settings.bgmKind, bgmKindKey, reader);
    loadNumber(settings.bgmRepeat, bgmRepeatKey, reader);
    runStep([&] {
        const std::string musicFile = reader.read(bgmFileKey);
        settings.bgmFile = musicFile;
        if (musicFile.empty() || !FileExists(musicFile)) {
            settings.bgmFile.clear();
            if (settings.bgmKind == 2) settings.bgmKind = 0;
        }
    });
}

}  // namespace tamaruka
