#include "common/sprite_path.h"

#include "common/user_folders.h"

namespace tamaruka {

std::string spriteFolderPath() {
    return xdgFolder("XDG_CACHE_HOME", ".cache").value_or("/tmp/.cache") + "/tamaruka";
}

std::string spriteFilePath() { return spriteFolderPath() + "/Fireworks.bmp"; }

}  // namespace tamaruka
