#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "display_mode/frame_presenter.h"

namespace tamaruka {

// The size that --window opens at.
inline constexpr int OwnWindowWidth = 1024;
inline constexpr int OwnWindowHeight = 768;

// What a window layer tells the run loop: windows that open (each shows a
// scene of its own), change size or close, and the user's wish to end.
// Sizes are in the surface's own pixels (its buffer's, on scaled outputs).
class WindowLayerEvents {
public:
    virtual void windowOpened(int id, FramePresenter& presenter, int width, int height) = 0;
    virtual void windowResized(int id, int width, int height) = 0;
    // The window and its presenter go once this returns.
    virtual void windowClosing(int id) = 0;
    virtual void endRequested() = 0;

protected:
    ~WindowLayerEvents() = default;
};

// The display mode's windows on one display system: making them, following
// their sizes and the outputs they cover, the input that ends the run, and
// the waiting between frames. The run loop, the music and the pacing see the
// display only through this.
class WindowLayer {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~WindowLayer() = default;

    // Makes the windows, reporting each one. Throws StartupError.
    virtual void open(WindowLayerEvents& events) = 0;

    // The display's name, which keeps one music per display.
    virtual std::string displayName() const = 0;

    // The least time between frames that the display itself asks for; zero
    // where the display paces the frames itself.
    virtual std::chrono::nanoseconds displayFramePeriod() = 0;

    // Takes what the display sent, without waiting.
    virtual void dispatch(WindowLayerEvents& events) = 0;

    // Takes the display's events until `earliest` has come and a window is
    // ready for a frame, until the run is to end, or until `stopFd` (the
    // stop signals) becomes readable.
    virtual void waitForNextFrame(Clock::time_point earliest, int stopFd, WindowLayerEvents& events) = 0;

    // Whether one of the windows holds a whole monitor (the screen when the
    // display lists none); without --music only then is the music played.
    // A layer that cannot tell says yes, as a full-screen layer would.
    virtual bool coversAWholeMonitor() { return true; }

    // Whether the windows still exist, so that their GL objects can be freed.
    virtual bool windowsAlive() const = 0;

    // Run when the display connection breaks, just before the program exits with 1.
    virtual void setConnectionLostAction(std::function<void()> action) = 0;
};

}  // namespace tamaruka
