#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>

namespace tamaruka {

// How a child program ended.
struct ChildExit {
    bool exited = false;  // true: exitCode holds its exit code; false: signal ended it
    int exitCode = 0;
    int signal = 0;
    bool success() const { return exited && exitCode == 0; }
};

// A program this process started as its own child. The child gets SIGTERM
// when this process dies, however it dies (SIGKILL included), so it never
// outlives the front-end; it is reaped here, so it never lingers as a zombie.
class ChildProgram {
public:
    // Starts the program file with no arguments, not through a shell, with the
    // signal mask and dispositions reset. nullopt, with the reason (the
    // errno of the failed exec, fork or pipe), when it could not be started.
    static std::optional<ChildProgram> start(const std::string& path, int& error);

    ChildProgram(ChildProgram&& other) noexcept;
    ChildProgram& operator=(ChildProgram&&) = delete;
    ~ChildProgram();  // closes the exit descriptor; the child is not signalled

    pid_t pid() const { return pid_; }
    // A descriptor that becomes readable when the child ends (a pidfd), or -1
    // when the kernel has none; then poll exitStatus() instead.
    int exitDescriptor() const { return exitFd_; }

    // Reaps the child if it has ended: its exit, once; nullopt while it runs
    // (and after it has been reaped).
    std::optional<ChildExit> exitStatus();
    // Ends a child that still runs, with the processes it started (it leads
    // a process group of its own): SIGTERM, up to grace for it to end, then
    // SIGKILL, and reaps it. True when it ended within the grace period.
    bool terminate(std::chrono::milliseconds grace);

private:
    void signalGroup(int signal);
    ChildProgram(pid_t pid, int exitFd) : pid_(pid), exitFd_(exitFd) {}
    pid_t pid_ = -1;
    int exitFd_ = -1;
    bool reaped_ = false;
};

}  // namespace tamaruka
