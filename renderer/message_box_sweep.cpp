#include "renderer/message_box_sweep.h"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tamaruka {

namespace {

volatile std::sig_atomic_t sweeping = 0;

// Writes the decimal digits of value at out; returns the end.
char* appendNumber(char* out, long value) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

// Kills every child of the main thread, the only thread that starts one
// (SDL's message-box process). Uses only async-signal-safe calls.
void killChildren() {
    char path[64] = "/proc/self/task/";
    char* end = appendNumber(path + 16, static_cast<long>(::getpid()));
    const char suffix[] = "/children";
    for (const char* c = suffix; *c; ++c) *end++ = *c;
    *end = '\0';
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char text[512];
    const ssize_t size = ::read(fd, text, sizeof text);
    ::close(fd);
    long pid = 0;
    for (ssize_t i = 0; i < size; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            pid = pid * 10 + (text[i] - '0');
        } else {
            if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
            pid = 0;
        }
    }
    if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
}

void onSweepTimer(int) {
    const int savedErrno = errno;
    killChildren();
    errno = savedErrno;
}

}  // namespace

void sweepMessageBoxChildren() {
    if (!sweeping) {
        sweeping = 1;
        // A box shown just as the signal came would escape this first sweep;
        // the timer sweeps again every 50 ms until the program has ended.
        struct sigaction action {};
        action.sa_handler = onSweepTimer;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGALRM, &action, nullptr);
        itimerval every50ms{{0, 50000}, {0, 50000}};
        ::setitimer(ITIMER_REAL, &every50ms, nullptr);
    }
    killChildren();
}

}  // namespace tamaruka
