#include "display_mode/stop_on_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include "launcher/held_stop_signals.h"

namespace tamaruka {

StopOnSignal::StopOnSignal() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe for the signals");
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
    // The launcher held the signals back until now: one that came meanwhile
    // arrives here, at the handler. The thread inherits the open mask.
    blockStopSignals(false);
    std::thread([this] { watch(); }).detach();
}

void StopOnSignal::watch() {
    pollfd signal{signals_.fd(), POLLIN, 0};
    while (!signals_.received()) poll(&signal, 1, -1);
    requested_ = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
    // A main loop that ends in time ends the process before this wakes.
    std::this_thread::sleep_for(Grace);
    _exit(0);
}

}  // namespace tamaruka
