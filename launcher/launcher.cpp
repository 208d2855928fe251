// A program as users and hosts start it (tamaruka, Tamaruka.scr): holds the
// stop signals back and becomes the real program beside it, named by
// TAMARUKA_LAUNCHED_PROGRAM, with the same process id and the same argv.
// Loading the real program's libraries (Qt, OpenGL, sound) takes milliseconds,
// tens on a cold disk or a busy machine, during which a stop signal would
// kill it by its default action before any code of ours runs. Held back, the
// signal waits until the real program's handlers are in place and then ends
// it cleanly. Linked statically: nothing is loaded before the signals are
// blocked.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "launcher/held_stop_signals.h"

namespace {

constexpr char LaunchedProgram[] = TAMARUKA_LAUNCHED_PROGRAM;

}  // namespace

int main(int, char** argv) {
    tamaruka::blockStopSignals(true);

    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    char* slash = length > 0 && length < static_cast<ssize_t>(sizeof path)
                      ? static_cast<char*>(memrchr(path, '/', static_cast<std::size_t>(length)))
                      : nullptr;
    const std::size_t nameLength = std::strlen(LaunchedProgram);
    if (slash == nullptr || (slash - path) + 1 + nameLength >= sizeof path) {
        std::fprintf(stderr, "%s: cannot find its own folder\n", argv[0] ? argv[0] : LaunchedProgram);
        return 1;
    }
    std::memcpy(slash + 1, LaunchedProgram, nameLength + 1);
    execv(path, argv);
    std::fprintf(stderr, "%s: cannot start %s: %s\n", argv[0] ? argv[0] : LaunchedProgram, path,
                 std::strerror(errno));
    return 1;
}
