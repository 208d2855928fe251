#pragma once
#include <atomic>
#include <chrono>

#include "common/stop_signals.h"

namespace tamaruka {

// SIGTERM, SIGINT and SIGHUP end tamaruka within a tenth of a second in every
// state. The handlers are installed when this is made, the first thing the
// program does; a thread of its own waits for them, tells the main loop, and
// ends the process with status 0 itself when the main loop has not ended it
// within the grace period: the main thread may be blocked in Xlib (a stopped
// X server), in the sound device or in a file system. The kernel then closes
// the sound device and releases the music lock.
class StopOnSignal {
public:
    static constexpr std::chrono::milliseconds Grace{70};

    StopOnSignal();  // throws when no pipe or thread can be made
    // Lives as long as the process: never destroyed, its thread never waited for.
    ~StopOnSignal() = delete;
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;

    // Readable from a stop signal on, for the main loop's poll().
    int fd() const { return wakeRead_; }
    bool requested() const { return requested_.load(); }

private:
    void watch();

    StopSignals signals_;
    int wakeRead_ = -1, wakeWrite_ = -1;
    std::atomic<bool> requested_{false};
};

}  // namespace tamaruka
