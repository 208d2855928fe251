#pragma once
#include <memory>
#include <optional>
#include <string>

namespace tamaruka {

// Only one display-mode instance per user and X display plays music: the one
// holding this lock. It is an flock() on a file of the user's own, so the
// kernel releases it when its holder ends in any way, a SIGKILL included.
class MusicLock {
public:
    // The lock for the display, or nullptr when another process holds it or
    // no lock file can be had (then no music: never two players at once). In
    // the second case `failure` says why, in one sentence; else it is empty.
    static std::unique_ptr<MusicLock> take(const std::string& displayName, std::string& failure);

    ~MusicLock();  // releases it
    MusicLock(const MusicLock&) = delete;
    MusicLock& operator=(const MusicLock&) = delete;

private:
    explicit MusicLock(int fd) : fd_(fd) {}
    int fd_;
};

// "<folder>/tamaruka-music-<display>.lock", the folder being $XDG_RUNTIME_DIR
// when this user can write it, else the user's cache folder's "tamaruka"
// (never a shared one like /tmp, and only when it is the user's own and
// private); nullopt when the user has neither. The display name is taken in
// its canonical form (":0.1" and "unix:0" are ":0") and every character
// outside letters, digits, '.', '_' and '-' becomes '_'.
std::optional<std::string> musicLockPath(const std::string& displayName);

}  // namespace tamaruka
