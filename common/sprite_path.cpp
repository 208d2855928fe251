#include "common/sprite_path.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "common/user_folders.h"

namespace tamaruka {

namespace {

// $XDG_RUNTIME_DIR when it is this user's own private folder; a folder that
// another user could have prepared is never taken.
std::optional<std::string> privateRuntimeFolder() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (!value || value[0] != '/') return std::nullopt;
    struct stat status {};
    if (::lstat(value, &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return std::nullopt;
    return std::string(value);
}

}  // namespace

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
