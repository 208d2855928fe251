#include "common/sprite_path.h"

#include "common/user_folders.h"

namespace tamaruka {

std::string spriteFolderPath() {
    // The cache under the home folder ($HOME or the password database's)
    // when it can be written, else the user's runtime folder; never a folder
    // shared with other users. Both programs see the same folders, so they
    // agree on the choice.
    if (const std::optional<std::string> cache = xdgFolder("XDG_CACHE_HOME", ".cache");
        cache && folderCanBeWritten(*cache + "/tamaruka"))
        return *cache + "/tamaruka";
    if (const std::optional<std::string> runtime = privateRuntimeFolder()) return *runtime + "/tamaruka";
    return {};
}

std::string spriteFilePath() {
    const std::string folder = spriteFolderPath();
    return folder.empty() ? std::string() : folder + "/Fireworks.bmp";
}

}  // namespace tamaruka
