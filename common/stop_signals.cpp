#include "common/stop_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace tamaruka {

namespace {

int writeFd = -1;
StopSignals::Hook hook = nullptr;
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

void onStopSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    // A full pipe already holds a byte; nothing more is needed.
    [[maybe_unused]] const ssize_t written = write(writeFd, &byte, 1);
    if (hook) hook();
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals(Hook onSignal) {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make a pipe for the signals");
    readFd_ = fds[0];
    writeFd = fds[1];
    hook = onSignal;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : Signals) sigaction(signal, &action, nullptr);
}

StopSignals::~StopSignals() {
    for (int signal : Signals) std::signal(signal, SIG_DFL);
    hook = nullptr;
    close(readFd_);
    close(writeFd);
    writeFd = -1;
}

bool StopSignals::received() {
    char bytes[16];
    while (read(readFd_, bytes, sizeof bytes) > 0) received_ = true;
    return received_;
}

}  // namespace tamaruka
