#pragma once
#include <csignal>

namespace tamaruka {

// The launcher blocks SIGTERM, SIGINT and SIGHUP before anything is loaded;
// the program it becomes unblocks them once its own handlers are in place,
// and a signal that came meanwhile then reaches those handlers.
// Blocks or unblocks them for the calling thread; the mask passes to the
// threads it starts and through exec.
inline void blockStopSignals(bool blocked) {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGHUP);
    sigprocmask(blocked ? SIG_BLOCK : SIG_UNBLOCK, &stops, nullptr);
}

}  // namespace tamaruka
