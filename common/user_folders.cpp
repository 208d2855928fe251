#include "common/user_folders.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamaruka {

namespace {

bool isFolder(const char* path) {
    struct stat status {};
    return path && *path && ::stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::optional<std::string> homeFolder() {
    // A home that exists on paper only (HOME=/nonexistent, as daemons and
    // "nobody" have) counts as none.
    if (const char* home = std::getenv("HOME"); home && *home) {
        if (isFolder(home)) return std::string(home);
        return std::nullopt;
    }
    // No HOME (a stripped environment): fall back to the password database.
    if (const passwd* entry = getpwuid(getuid()); entry && isFolder(entry->pw_dir)) return std::string(entry->pw_dir);
    return std::nullopt;
}

bool folderCanBeWritten(const std::string& folder) {
    std::filesystem::path existing(folder);
    std::error_code error;
    while (!std::filesystem::exists(existing, error) && existing.has_relative_path())
        existing = existing.parent_path();
    return isFolder(existing.c_str()) && ::access(existing.c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> xdgFolder(const char* variable, const char* fallbackUnderHome) {
    if (const char* value = std::getenv(variable); value && value[0] == '/') return std::string(value);
    const std::optional<std::string> home = homeFolder();
    if (!home) return std::nullopt;
    return *home + "/" + fallbackUnderHome;
}

bool isOwnPrivateFolder(int folderFd) {
    struct stat status {};
    return ::fstat(folderFd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::getuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

std::optional<std::string> privateRuntimeFolder() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (!value || value[0] != '/') return std::nullopt;
    const int fd = ::open(value, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const bool isPrivate = isOwnPrivateFolder(fd);
    ::close(fd);
    if (!isPrivate) return std::nullopt;
    return std::string(value);
}

}  // namespace tamaruka
