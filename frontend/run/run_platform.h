#pragma once
#include <optional>
#include <string>

#include "frontend/toolkit/bitmap_file.h"
#include "music/background_music.h"

namespace tamaruka {

// The run window's three timers.
enum class RunTimer { Timer1, Timer2, Timer3 };

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
    // Starts the program file detached, no arguments, no shell, not waited for.
    virtual void startProgram(const std::string& path) = 0;
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
