#include "display_mode/display_mode_music.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "common/program_folder.h"
#include "music/background_music.h"
#include "music/music_lock.h"
#include "music/music_playback.h"
#include "settings/music_settings.h"
#include "settings/settings_store.h"

namespace tamaruka {

namespace {

namespace fs = std::filesystem;

// How often an instance that waits for the music tries the lock again: soon
// enough that the music carries on when the player ends, rarely enough that
// the tries cost nothing.
constexpr std::chrono::seconds LockRetryInterval{1};

// The folder of Tamaruka.scr, whose Tamaruka.ini is the system-wide default.
// In the build tree both programs sit side by side; installed, this program
// lives in the hosts' folder and the others in their own, at a path fixed
// relative to it at build time.
std::string frontEndFolder() {
    const std::string own = programFolder();
    if (own.empty()) return "";
    std::error_code error;
    if (fs::exists(fs::path(own) / "Tamaruka.scr", error)) return own;
    return (fs::path(own) / TAMARUKA_PROGRAMS_FROM_DISPLAY_MODE).lexically_normal().string();
}

// A lock that cannot be had silences this instance; the user learns why.
void reportNoLock(const std::string& failure) {
    std::fprintf(stderr, "tamaruka: no music: %s\n", failure.c_str());
}

class LockedMusic : public DisplayModeMusic {
public:
    using Clock = ClockedBackgroundMusic::Clock;

    LockedMusic(const MusicSettings& settings, std::unique_ptr<MusicLock> lock)
        : settings_(settings),
          lock_(std::move(lock)),
          playback_(makeMusicPlayback(settings_)),
          music_(settings_, *playback_) {
        music_.start(Clock::now());
    }
    ~LockedMusic() override { stop(); }

    void tick() override {
        if (!stopped_) music_.tick(Clock::now());
    }

    void stop() override {
        if (stopped_) return;
        stopped_ = true;
        music_.stop();
        // The sound device is closed before another instance may take over.
        playback_.reset();
        lock_.reset();
    }

private:
    MusicSettings settings_;
    std::unique_ptr<MusicLock> lock_;
    std::unique_ptr<MusicPlayback> playback_;
    ClockedBackgroundMusic music_;
    bool stopped_ = false;
};

// An instance whose display already has a player: it takes the lock when that
// player ends (its monitor removed, a crash, a kill) and then starts the music
// afresh, as a first start would.
class WaitingMusic : public DisplayModeMusic {
public:
    using Clock = ClockedBackgroundMusic::Clock;

    WaitingMusic(const MusicSettings& settings, std::string displayName)
        : settings_(settings), displayName_(std::move(displayName)), nextTry_(Clock::now() + LockRetryInterval) {}

    void tick() override {
        if (player_) {
            player_->tick();
            return;
        }
        if (stopped_) return;
        const Clock::time_point now = Clock::now();
        if (now < nextTry_) return;
        // After a pause (SIGSTOP) one try, not one for every missed second.
        nextTry_ = now + LockRetryInterval;
        std::string failure;
        if (std::unique_ptr<MusicLock> lock = MusicLock::take(displayName_, failure))
            player_ = std::make_unique<LockedMusic>(settings_, std::move(lock));
        else if (!failure.empty()) {
            reportNoLock(failure);
            stopped_ = true;  // once: the next tries would fail alike
        }
    }

    // While waiting it holds nothing: the lock is taken only with the player.
    void stop() override {
        stopped_ = true;
        if (player_) player_->stop();
    }

private:
    MusicSettings settings_;
    std::string displayName_;
    Clock::time_point nextTry_;
    std::unique_ptr<LockedMusic> player_;
    bool stopped_ = false;
};

}  // namespace

std::unique_ptr<DisplayModeMusic> startDisplayModeMusic(bool wanted, const std::string& displayName) {
    if (!wanted) return nullptr;
    MusicSettings settings;
    LoadSettings(settings, frontEndFolder());
    if (!BackgroundMusic::playsAnything(settings)) return nullptr;
    // One player per user and display: the other monitors' instances wait
    // silently, ready to take over.
    std::string failure;
    if (std::unique_ptr<MusicLock> lock = MusicLock::take(displayName, failure))
        return std::make_unique<LockedMusic>(settings, std::move(lock));
    if (!failure.empty()) {
        reportNoLock(failure);
        return nullptr;
    }
    return std::make_unique<WaitingMusic>(settings, displayName);
}

}  // namespace tamaruka
