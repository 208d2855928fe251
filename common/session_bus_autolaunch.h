#pragma once

namespace tamaruka {

// SDL connects to the D-Bus session bus whenever a part of it starts. With
// DBUS_SESSION_BUS_ADDRESS unset (xautolock, a session started from .xinitrc)
// and no $XDG_RUNTIME_DIR/bus, libdbus then starts a bus of its own
// (dbus-launch --autolaunch and a dbus-daemon) that outlives the program.
// This names an address no library connects to ("disabled:"), so that SDL
// goes on without a bus; a session's own bus is left as it is. Call it before
// SDL starts.
void preventSessionBusAutolaunch();

}  // namespace tamaruka
