#pragma once
#include <string>

namespace tamaruka {

// The user's own settings file: $XDG_CONFIG_HOME/tamaruka/Tamaruka.ini, or
// ~/.config/tamaruka/Tamaruka.ini when XDG_CONFIG_HOME is unset or not an
// absolute path. Empty when the user has no home folder.
std::string userSettingsFilePath();

// The file the settings are read from: the user's own when it exists, else
// the system-wide default beside the programs, settingsFilePath(programFolder),
// which is only ever read.
std::string settingsFileToRead(const std::string& programFolder);

}  // namespace tamaruka
