#pragma once
#include <functional>

namespace tamaruka {

// SIGTERM, SIGINT and SIGHUP as events of the Qt thread (through a
// self-pipe), so that a terminated program still ends its renderer, stops
// its music and shows the pointer, and never dies halfway through a file.

// Catches the signals from now on: the first thing main does, so that no
// moment of the start-up is left to the default action. A signal is kept
// until the event loop can act on it; without an action of its own the
// program then runs defaultAction.
void catchTerminationSignals(std::function<void()> defaultAction);

// Acts on caught signals, one caught already included, whenever the Qt event
// loop runs (a modal dialog's or a message box's loop too). Call once the
// application object exists; later calls do nothing.
void actOnTerminationSignals();

// What a caught signal does from now on (the run's end sequence); also
// starts acting on them, as actOnTerminationSignals does.
void handleTerminationSignals(std::function<void()> onSignal);

}  // namespace tamaruka
