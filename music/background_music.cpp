#include "music/background_music.h"

#include <string>
#include <utility>

#include "common/error_rule.h"
#include "music/music_playback.h"

namespace tamaruka {

namespace {

std::size_t timerIndex(MusicTimer timer) { return static_cast<std::size_t>(timer); }

std::chrono::milliseconds intervalOf(MusicTimer timer) {
    return std::chrono::milliseconds(timer == MusicTimer::CdWatch ? BackgroundMusic::CdWatchInterval
                                                                  : BackgroundMusic::Mp3RepeatInterval);
}

}  // namespace

BackgroundMusic::BackgroundMusic(const MusicSettings& settings, MusicOperations& music, TimerSwitch onTimerSwitch)
    : settings_(settings), music_(music), onTimerSwitch_(std::move(onTimerSwitch)) {}

bool BackgroundMusic::playsAnything(const MusicSettings& settings) {
    if (settings.bgmKind == 1) return true;
    if (settings.bgmKind != 2) return false;
    const std::string type = bgmFileType(settings.bgmFile);
    return type == "WAV" || type == "MP3";
}

bool BackgroundMusic::timerEnabled(MusicTimer timer) const { return timerEnabled_[timerIndex(timer)]; }

void BackgroundMusic::setTimer(MusicTimer timer, bool enabled) {
    timerEnabled_[timerIndex(timer)] = enabled;
    if (onTimerSwitch_) onTimerSwitch_(timer, enabled);
}

void BackgroundMusic::start() {
    runStep([&] {
        if (settings_.bgmKind == 1) {
            music_.CdOpen();
            setTimer(MusicTimer::CdWatch, true);
        }
    });
    runStep([&] {
        if (settings_.bgmKind == 2) {
            // WAV is tested first, then MP3, each on its own.
            const std::string type = bgmFileType(settings_.bgmFile);
            if (type == "WAV") music_.WavPlay();
            if (type == "MP3") {
                music_.Mp3Open();
                setTimer(MusicTimer::Mp3Repeat, true);  // whether the open succeeded or not
            }
        }
    });
}

void BackgroundMusic::mp3RepeatTick() {
    runStep([&] { music_.Mp3Loop(); });
}

void BackgroundMusic::cdWatchTick() {
    runStep([&] { music_.CdWatch(); });
    runStep([&] { setTimer(MusicTimer::CdWatch, music_.CdWatching()); });
}

void BackgroundMusic::stop() {
    if (stopped_) return;
    stopped_ = true;
    // A watch that has ended (no disc, an unreadable reply) leaves the CD alone.
    runStep([&] {
        if (timerEnabled(MusicTimer::CdWatch)) {
            setTimer(MusicTimer::CdWatch, false);
            music_.CdClose();
        }
    });
    runStep([&] {
        if (settings_.bgmKind == 2) {
            const std::string type = bgmFileType(settings_.bgmFile);
            if (type == "WAV") music_.WavStop();
            if (type == "MP3") music_.Mp3Close();
        }
    });
}

ClockedBackgroundMusic::ClockedBackgroundMusic(const MusicSettings& settings, MusicOperations& music)
    : music_(settings, music, [this](MusicTimer timer, bool enabled) { onTimerSwitch(timer, enabled); }) {}

void ClockedBackgroundMusic::onTimerSwitch(MusicTimer timer, bool enabled) {
    // A timer switched on runs its first tick one interval from now; one that
    // is set on again while running keeps its rhythm.
    const std::size_t i = timerIndex(timer);
    if (enabled && !running_[i]) due_[i] = now_ + intervalOf(timer);
    running_[i] = enabled;
}

void ClockedBackgroundMusic::start(Clock::time_point now) {
    now_ = now;
    music_.start();
}

void ClockedBackgroundMusic::tick(Clock::time_point now) {
    now_ = now;
    runIfDue(MusicTimer::Mp3Repeat, now);
    runIfDue(MusicTimer::CdWatch, now);
}

void ClockedBackgroundMusic::runIfDue(MusicTimer timer, Clock::time_point now) {
    const std::size_t i = timerIndex(timer);
    if (!running_[i] || now < due_[i]) return;
    due_[i] += intervalOf(timer);
    if (due_[i] <= now) due_[i] = now + intervalOf(timer);  // missed intervals are not made up
    if (timer == MusicTimer::CdWatch) music_.cdWatchTick();
    else music_.mp3RepeatTick();
}

void ClockedBackgroundMusic::stop() { music_.stop(); }

}  // namespace tamaruka
