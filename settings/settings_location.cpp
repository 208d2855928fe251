#include "settings/settings_location.h"

#include "common/program_folder.h"
#include "common/user_folders.h"
#include "settings/settings_store.h"

namespace tamaruka {

std::string userSettingsFilePath() {
    const auto config = xdgFolder("XDG_CONFIG_HOME", ".config");
    return config ? *config + "/tamaruka/Tamaruka.ini" : std::string();
}

std::string settingsFileToRead(const std::string& programFolder) {
    const std::string user = userSettingsFilePath();
    if (!user.empty() && FileExists(user)) return user;
    return settingsFilePath(programFolder);
}

}  // namespace tamaruka
