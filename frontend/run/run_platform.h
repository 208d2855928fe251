#pragma once
#include <optional>
#include <string>

#include "frontend/toolkit/bitmap_file.h"
#include "music/background_music.h"

namespace tamaruka {

// The run window's three timers.
enum class RunTimer { Timer1, Timer2, Timer3 };

// How the started program ended: its exit code, or the signal that ended it.
struct ProgramEnd {
    bool exited = true;
    int exitCode = 0;
    int signal = 0;
};

struct PointerPosition {
    int x = 0;
    int y = 0;
};

// What the saver run needs from the platform. The real one sits on Qt and
// X11 (run_window.cpp); the tests use a recording fake. A call that cannot be
// made throws StepError, which abandons the step that made it.
class RunPlatform {
public:
    virtual ~RunPlatform() = default;

    // Saves the picture as a BMP in the display's colour format, replacing the
    // file completely or not at all.
    virtual void saveBitmapFile(const std::string& path, const Bitmap& picture) = 0;
    // Starts the program file as a child that never outlives this process: no
    // arguments, no shell, not waited for. Throws StepError, with the reason
    // as its text, when it cannot be started. The platform reports the child's
    // end to SaverRun::programEnded.
    virtual void startProgram(const std::string& path) = 0;
    // Ends the started program if it still runs (SIGTERM, a bounded wait,
    // then SIGKILL) and reaps it.
    virtual void stopProgram() = 0;
    // A modal message box with an OK button, captioned with the application
    // title; returns when it has been closed.
    virtual void messageBox(const std::string& text) = 0;
    // GetCursorPos: nullopt when the position cannot be read.
    virtual std::optional<PointerPosition> cursorPosition() = 0;
    // ShowCursor: returns the new display counter.
    virtual int showCursor(bool show) = 0;
    virtual void setTimerEnabled(RunTimer timer, bool enabled) = 0;
    // The immediate end: the process terminates, no handler runs after it.
    // The fake records it and returns.
    virtual void endProgram() = 0;
};

// The music operations that the run drives: the front-end's background music,
// behind an interface so the run's order of calls is testable.
using RunMusic = MusicOperations;

}  // namespace tamaruka
