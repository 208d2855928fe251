// tamaruka as the hosts start it: holds the stop signals back and becomes the
// drawing program beside it, tamaruka-draw. Loading that program's graphics
// and sound libraries takes milliseconds (tens on a cold disk), during which
// a stop signal would kill it by its default action, before any code of ours
// runs. Held back, the signal waits until the drawing program's handlers are
// in place and then ends it cleanly. Linked statically: nothing is loaded
// before the signals are blocked.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "display_mode/drawing_program.h"

int main(int, char** argv) {
    tamaruka::blockStopSignals(true);

    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    char* slash = length > 0 && length < static_cast<ssize_t>(sizeof path)
                      ? static_cast<char*>(memrchr(path, '/', static_cast<std::size_t>(length)))
                      : nullptr;
    const std::size_t nameLength = std::strlen(tamaruka::DrawingProgramName);
    if (slash == nullptr || (slash - path) + 1 + nameLength >= sizeof path) {
        std::fputs("tamaruka: cannot find its own folder\n", stderr);
        return 1;
    }
    std::memcpy(slash + 1, tamaruka::DrawingProgramName, nameLength + 1);
    execv(path, argv);
    std::fprintf(stderr, "tamaruka: cannot start %s: %s\n", path, std::strerror(errno));
    return 1;
}
