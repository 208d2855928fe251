#include "display_mode/display_mode_music.h"

#include <chrono>
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

}  // namespace

std::unique_ptr<DisplayModeMusic> startDisplayModeMusic(bool wanted, const std::string& displayName) {
    if (!wanted) return nullptr;
    MusicSettings settings;
    LoadSettings(settings, frontEndFolder());
    if (!BackgroundMusic::playsAnything(settings)) return nullptr;
    // One player per user and display: the other monitors' instances stay silent.
    std::unique_ptr<MusicLock> lock = MusicLock::take(displayName);
    if (!lock) return nullptr;
    return std::make_unique<LockedMusic>(settings, std::move(lock));
}

}  // namespace tamaruka
