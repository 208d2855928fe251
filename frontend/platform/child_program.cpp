#include "frontend/platform/child_program.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tamaruka {
namespace {

int openPidDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#endif
    (void)pid;
    return -1;
}

// In the forked child, before exec: only async-signal-safe calls. Any failure
// is written to the report pipe as an errno and the child ends.
[[noreturn]] void execChild(const char* path, pid_t parent, int reportFd)
{
    int failure = 0;
    // Ends the child when the parent dies. The parent may already have died
    // between fork and prctl; then nothing would ever send the signal.
    if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0) failure = errno;
    else if (::getppid() != parent) ::_exit(127);

    if (failure == 0) {
        // A group of its own: whatever the child starts (its message box
        // runs in a process of its own) is ended together with it.
        ::setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD}) ::signal(signal, SIG_DFL);
        char* const argv[] = {const_cast<char*>(path), nullptr};
        ::execv(path, argv);
        failure = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(reportFd, &failure, sizeof failure);
    ::_exit(127);
}

ChildExit fromWaitStatus(int status)
{
    ChildExit exit;
    exit.exited = WIFEXITED(status);
    exit.exitCode = exit.exited ? WEXITSTATUS(status) : 0;
    exit.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return exit;
}

}  // namespace

std::optional<ChildProgram> ChildProgram::start(const std::string& path, int& error)
{
    // A close-on-exec pipe tells a failed exec (an errno arrives) from a
    // successful one (the pipe closes empty).
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = errno;
        return std::nullopt;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        execChild(path.c_str(), parent, report[1]);
    }
    ::close(report[1]);
    if (pid > 0) ::setpgid(pid, pid);  // either side may come first
    if (pid < 0) {
        error = errno;
        ::close(report[0]);
        return std::nullopt;
    }
    int childError = 0;
    ssize_t got;
    do got = ::read(report[0], &childError, sizeof childError);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == sizeof childError) {
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        error = childError;
        return std::nullopt;
    }
    return ChildProgram(pid, openPidDescriptor(pid));
}

ChildProgram::ChildProgram(ChildProgram&& other) noexcept
    : pid_(other.pid_), exitFd_(other.exitFd_), reaped_(other.reaped_)
{
    other.pid_ = -1;
    other.exitFd_ = -1;
    other.reaped_ = true;
}

ChildProgram::~ChildProgram()
{
    if (exitFd_ >= 0) ::close(exitFd_);
}

std::optional<ChildExit> ChildProgram::exitStatus()
{
    if (reaped_ || pid_ <= 0) return std::nullopt;
    int status = 0;
    pid_t got;
    do got = ::waitpid(pid_, &status, WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got == 0) return std::nullopt;
    reaped_ = true;
    if (got < 0) return std::nullopt;  // reaped elsewhere
    return fromWaitStatus(status);
}

void ChildProgram::signalGroup(int signal)
{
    if (::kill(-pid_, signal) != 0) ::kill(pid_, signal);
}

bool ChildProgram::terminate(std::chrono::milliseconds grace)
{
    if (reaped_ || pid_ <= 0) return true;
    if (exitStatus()) return true;
    signalGroup(SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (std::chrono::steady_clock::now() < deadline) {
        if (exitStatus() || reaped_) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    signalGroup(SIGKILL);
    int status;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    return false;
}

}  // namespace tamaruka
