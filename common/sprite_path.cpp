#include "common/sprite_path.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tamaruka {

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    // No HOME (a stripped environment): fall back to the password database.
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/tmp";
}

}  // namespace

std::string spriteFolderPath() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    // The XDG base-directory rules ignore a relative value.
    if (cache && cache[0] == '/') return std::string(cache) + "/tamaruka";
    return homeFolder() + "/.cache/tamaruka";
}

std::string spriteFilePath() { return spriteFolderPath() + "/Fireworks.bmp"; }

}  // namespace tamaruka
