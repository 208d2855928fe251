#pragma once
#include <csignal>

namespace tamaruka {

// The program that draws, started by the tamaruka launcher from its own
// folder with the stop signals blocked. Its first act is to install their
// handlers and unblock them (StopOnSignal).
inline constexpr char DrawingProgramName[] = "tamaruka-draw";

// Blocks or unblocks SIGTERM, SIGINT and SIGHUP for the calling thread; the
// mask passes to the threads it starts and through exec.
inline void blockStopSignals(bool blocked) {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGHUP);
    sigprocmask(blocked ? SIG_BLOCK : SIG_UNBLOCK, &stops, nullptr);
}

}  // namespace tamaruka
