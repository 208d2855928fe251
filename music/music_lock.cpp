#include "music/music_lock.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/user_folders.h"
#include "music/display_name.h"

namespace tamaruka {

namespace {

std::string sanitised(const std::string& name) {
    std::string out = name.empty() ? "default" : name;
    for (char& c : out) {
        const bool kept = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
        if (!kept) c = '_';
    }
    return out;
}

std::string fileName(const std::string& displayName) {
    return "tamaruka-music-" + sanitised(canonicalDisplayName(displayName)) + ".lock";
}

// The runtime folder, checked, or else the cache folder's "tamaruka", which
// openFolder() checks as it opens it.
std::optional<std::string> lockFolder() {
    if (const std::optional<std::string> runtime = privateRuntimeFolder()) return runtime;
    const std::optional<std::string> cache = xdgFolder("XDG_CACHE_HOME", ".cache");
    if (!cache) return std::nullopt;
    return *cache + "/tamaruka";
}

std::string failed(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// The lock's folder, made when missing, opened without following a link and
// only when it is this user's own and private: a lock file in a folder that
// others can write could be taken by them. A folder of our own that others
// may enter is closed to them first (the cache folder's default rights).
int openFolder(const std::string& folder, std::string& failure) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        failure = failed("cannot make the folder", folder);
        return -1;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        failure = failed("cannot open the folder", folder);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_uid == ::getuid()) ::fchmod(fd, status.st_mode & 07700);
    if (!isOwnPrivateFolder(fd)) {
        ::close(fd);
        failure = "the folder " + folder + " is not this user's own private folder";
        return -1;
    }
    return fd;
}

}  // namespace

std::optional<std::string> musicLockPath(const std::string& displayName) {
    const std::optional<std::string> folder = lockFolder();
    if (!folder) return std::nullopt;
    return *folder + "/" + fileName(displayName);
}

std::unique_ptr<MusicLock> MusicLock::take(const std::string& displayName, std::string& failure) {
    failure.clear();
    const std::optional<std::string> folder = lockFolder();
    if (!folder) {
        failure = "no home, cache or runtime folder for the music lock";
        return nullptr;
    }
    const int folderFd = openFolder(*folder, failure);
    if (folderFd < 0) return nullptr;
    const std::string path = *folder + "/" + fileName(displayName);
    // Not inherited by children, and never through a planted symbolic link.
    const int fd = ::openat(folderFd, fileName(displayName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) failure = failed("cannot open", path);
    ::close(folderFd);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Held by another instance: the one case that is no failure.
        if (errno != EWOULDBLOCK) failure = failed("cannot lock", path);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<MusicLock>(new MusicLock(fd));
}

MusicLock::~MusicLock() { ::close(fd_); }

}  // namespace tamaruka
