#pragma once
#include <array>
#include <chrono>
#include <functional>

#include "settings/music_settings.h"

namespace tamaruka {

// The nine music operations that the background music drives: the real ones
// are MusicPlayback's, a test records them.
class MusicOperations {
public:
    virtual ~MusicOperations() = default;
    virtual void CdOpen() = 0;
    virtual void CdWatch() = 0;
    virtual bool CdWatching() = 0;
    virtual void CdClose() = 0;
    virtual void Mp3Open() = 0;
    virtual void Mp3Loop() = 0;
    virtual void Mp3Close() = 0;
    virtual void WavPlay() = 0;
    virtual void WavStop() = 0;
};

// The two music timers: the MP3 repeat check and the CD watch.
enum class MusicTimer { Mp3Repeat, CdWatch };

// When the music starts, how it is watched and how it stops, from the
// settings. Each step runs under the error rule (a failure abandons the step,
// the next one runs). The timers are only switched here; whoever owns this
// runs mp3RepeatTick() and cdWatchTick() at their intervals while they are on.
class BackgroundMusic {
public:
    static constexpr int Mp3RepeatInterval = 1000;  // ms
    static constexpr int CdWatchInterval = 200;     // ms

    // Told of every switch of a timer, also when it stays as it was (the CD
    // watch sets its timer again after each tick).
    using TimerSwitch = std::function<void(MusicTimer, bool enabled)>;

    // The settings are read when a step runs, so they must outlive this.
    BackgroundMusic(const MusicSettings& settings, MusicOperations& music, TimerSwitch onTimerSwitch = {});

    // True when these settings play anything at all: an audio CD, or a file
    // whose last three characters are WAV or MP3 in any case.
    static bool playsAnything(const MusicSettings& settings);

    // CD: open it and switch the watch on (the first tick starts the disc).
    // File: WAV loops by itself; MP3 opens and plays, and its repeat check is
    // switched on whether the open succeeded or not.
    void start();
    void mp3RepeatTick();
    // One CD watch tick; the timer then follows CdWatching.
    void cdWatchTick();
    // The CD is stopped and closed only while it is still watched; then WAV
    // or MP3 stops. Runs its steps once.
    void stop();

    bool timerEnabled(MusicTimer timer) const;

private:
    void setTimer(MusicTimer timer, bool enabled);

    const MusicSettings& settings_;
    MusicOperations& music_;
    TimerSwitch onTimerSwitch_;
    std::array<bool, 2> timerEnabled_ = {false, false};
    bool stopped_ = false;
};

// The background music driven by a clock instead of window timers: each call
// of tick() runs the timers whose interval has passed. A late call (a paused
// process) runs a timer once, not once for every missed interval.
class ClockedBackgroundMusic {
public:
    using Clock = std::chrono::steady_clock;

    // The settings must outlive this, as for BackgroundMusic.
    ClockedBackgroundMusic(const MusicSettings& settings, MusicOperations& music);

    void start(Clock::time_point now);
    void tick(Clock::time_point now);
    void stop();

    bool timerEnabled(MusicTimer timer) const { return music_.timerEnabled(timer); }

private:
    void onTimerSwitch(MusicTimer timer, bool enabled);
    void runIfDue(MusicTimer timer, Clock::time_point now);

    Clock::time_point now_{};
    std::array<Clock::time_point, 2> due_{};
    std::array<bool, 2> running_ = {false, false};
    // Last: its timer switches reach the members above.
    BackgroundMusic music_;
};

}  // namespace tamaruka
