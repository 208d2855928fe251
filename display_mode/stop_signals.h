#pragma once

namespace tamaruka {

// SIGTERM, SIGINT and SIGHUP (how the hosts stop a display mode) turned into
// a descriptor that poll() watches beside the X connection, so that the
// program notices them at once, even while it waits for the next frame.
class StopSignals {
public:
    StopSignals();   // installs the handlers
    ~StopSignals();  // puts the default handlers back
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    int fd() const { return readFd_; }
    // Whether one of the signals came; reads what the handler wrote.
    bool received();

private:
    int readFd_ = -1;
    bool received_ = false;
};

}  // namespace tamaruka
