#include "common/sprite_path.h"

#include "common/user_folders.h"

namespace tamaruka {

std::string spriteFolderPath() {
    // The cache under the home folder ($HOME or the password database's),
    // else the user's runtime folder; never a folder shared with other users.
    if (const std::optional<std::string> cache = xdgFolder("XDG_CACHE_HOME", ".cache"))
        return *cache + "/tamaruka";
    if (const std::optional<std::string> runtime = privateRuntimeFolder()) return *runtime + "/tamaruka";
    return {};
}

std::string spriteFilePath() {
    const std::string folder = spriteFolderPath();
    return folder.empty() ? std::string() : folder + "/Fireworks.bmp";
}

}  // namespace tamaruka
