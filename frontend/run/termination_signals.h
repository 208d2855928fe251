#pragma once
#include <functional>

namespace tamaruka {

// Turns SIGTERM, SIGINT and SIGHUP into a call of onSignal on the Qt thread
// (through a self-pipe), so that a terminated run still ends its renderer,
// stops its music and shows the pointer. Call once, after the application object exists.
void handleTerminationSignals(std::function<void()> onSignal);

}  // namespace tamaruka
