#pragma once
#include <string>
#include <string_view>

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

    // What the user is told when the renderer cannot show anything.
    static constexpr std::string_view RendererNotStartedMessage = "Tamaruka.dataを起動できません！";
    static constexpr std::string_view RendererFailedMessage = "Tamaruka.dataが異常終了しました！";

    // Load handler: sprite file, renderer start, music, reference point.
    void load();

    void timer1Tick();
    void timer2Tick();
    void timer3Tick();

    // The renderer has ended. Exit code 0 is its normal end (the user moved
    // the mouse) and changes nothing; any other end means nothing is on the
    // screen: the user is told and the run ends with the pointer shown.
    void programEnded(const ProgramEnd& end);

    // A termination signal (SIGTERM, SIGINT, SIGHUP): the renderer is ended,
    // then the end sequence runs.
    void terminate();

    // End sequence: runs once, whatever asked the window to close, and ends
    // the program. A request that arrives while it waits in its message box
    // ends the program at once.
    void end();

    bool timerEnabled(RunTimer timer) const;
    const std::string& rendererPath() const { return rendererPath_; }

private:
    void setTimer(RunTimer timer, bool enabled);
    // Stops the mouse watch, runs the end sequence and tells the user why
    // before the program ends.
    void failRun(const std::string& message);

    FrontEndState& state_;
    RunPlatform& platform_;
    // The music rules; their two timers are Timer1 and Timer2.
    BackgroundMusic music_;
    std::string rendererPath_;
    bool timerEnabled_[3] = {false, false, true};
    bool ending_ = false;
    std::string failureMessage_;  // shown at the end of the sequence when not empty
};

}  // namespace tamaruka
