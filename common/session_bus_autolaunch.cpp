#include "common/session_bus_autolaunch.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace tamaruka {

void preventSessionBusAutolaunch() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return;
    // The user's bus at its standard place, which libdbus finds by itself.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        struct stat status {};
        if (::stat((std::string(runtime) + "/bus").c_str(), &status) == 0 && S_ISSOCK(status.st_mode)) return;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

}  // namespace tamaruka
