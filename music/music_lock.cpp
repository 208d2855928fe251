#include "music/music_lock.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "common/user_folders.h"

namespace tamaruka {

namespace {

// ":0.1" -> ":0": the screen number after the display number is dropped.
std::string withoutScreen(const std::string& displayName) {
    const std::size_t colon = displayName.rfind(':');
    if (colon == std::string::npos) return displayName;
    const std::size_t dot = displayName.find('.', colon);
    return dot == std::string::npos ? displayName : displayName.substr(0, dot);
}

std::string sanitised(const std::string& name) {
    std::string out = name.empty() ? "default" : name;
    for (char& c : out) {
        const bool kept = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
        if (!kept) c = '_';
    }
    return out;
}

std::optional<std::string> lockFolder() {
    // Only the user's own private runtime folder: a lock file in a folder that
    // others can write could be taken by them. Every instance of the session
    // sees the same folder and agrees on the file.
    if (const std::optional<std::string> runtime = privateRuntimeFolder()) return runtime;
    const std::optional<std::string> cache = xdgFolder("XDG_CACHE_HOME", ".cache");
    if (!cache) return std::nullopt;
    return *cache + "/tamaruka";
}

}  // namespace

std::optional<std::string> musicLockPath(const std::string& displayName) {
    const std::optional<std::string> folder = lockFolder();
    if (!folder) return std::nullopt;
    return *folder + "/tamaruka-music-" + sanitised(withoutScreen(displayName)) + ".lock";
}

std::unique_ptr<MusicLock> MusicLock::take(const std::string& displayName) {
    const std::optional<std::string> path = musicLockPath(displayName);
    if (!path) return nullptr;
    // The cache folder may not exist yet (the runtime folder always does).
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(*path).parent_path(), error);
    if (error) return nullptr;
    // Not inherited by children, and never through a planted symbolic link.
    const int fd = ::open(path->c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<MusicLock>(new MusicLock(fd));
}

MusicLock::~MusicLock() { ::close(fd_); }

}  // namespace tamaruka
