#pragma once
#include <string>

#include "frontend/run/run_platform.h"
#include "music/background_music.h"

namespace tamaruka {

struct FrontEndState;

// The saver run of the hidden run window Kirabo_S: its load handler, its three
// timers and its end sequence, without any toolkit.
//
//   Timer1 (1000 ms, off)  MP3 repeat check
//   Timer2 (200 ms, off)   CD watch; follows CdWatching after each tick
//   Timer3 (50 ms, on)     mouse watch
class SaverRun {
public:
    static constexpr int Timer1Interval = BackgroundMusic::Mp3RepeatInterval;
    static constexpr int Timer2Interval = BackgroundMusic::CdWatchInterval;
    static constexpr int Timer3Interval = 50;
    // The pointer must be more than this far away on both axes at one tick.
    static constexpr int MoveThreshold = 30;

    SaverRun(FrontEndState& state, RunPlatform& platform, RunMusic& music);

    // Load handler: sprite file, renderer start, music, reference point.
    void load();

    void timer1Tick();
    void timer2Tick();
    void timer3Tick();

    // End sequence: runs once, whatever asked the window to close, and ends
    // the program.
    void end();

    bool timerEnabled(RunTimer timer) const;
    const std::string& rendererPath() const { return rendererPath_; }

private:
    void setTimer(RunTimer timer, bool enabled);

    FrontEndState& state_;
    RunPlatform& platform_;
    // The music rules; their two timers are Timer1 and Timer2.
    BackgroundMusic music_;
    std::string rendererPath_;
    bool timerEnabled_[3] = {false, false, true};
    bool ending_ = false;
};

}  // namespace tamaruka
