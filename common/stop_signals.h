#pragma once

namespace tamaruka {

// SIGTERM, SIGINT and SIGHUP (how hosts and sessions stop a program) turned
// into a descriptor that an event loop watches (poll() beside the X
// connection, or a socket notifier), so that the program notices them at
// once, even while it waits, and ends through its own clean-up.
class StopSignals {
public:
    // Runs inside the signal handler at each stop signal: async-signal-safe
    // calls only.
    using Hook = void (*)();

    // Installs the handlers; throws when no pipe can be made.
    explicit StopSignals(Hook onSignal = nullptr);
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
