#include "frontend/run/termination_signals.h"

#include <cstdio>
#include <stdexcept>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "common/stop_signals.h"
#include "launcher/held_stop_signals.h"

namespace tamaruka {
namespace {

// Both live as long as the process: it ends by the immediate end.
StopSignals* stopSignals = nullptr;
std::function<void()>* action = nullptr;

}  // namespace

void catchTerminationSignals(std::function<void()> defaultAction) {
    if (!action) action = new std::function<void()>(std::move(defaultAction));
    if (stopSignals) return;
    try {
        stopSignals = new StopSignals;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "Tamaruka.scr: %s; a signal ends the program at once.\n", error.what());
    }
    // The launcher held the signals back until now: one that came meanwhile
    // arrives here, at the handler, before any thread or child is started.
    blockStopSignals(false);
}

void actOnTerminationSignals() {
    static bool acting = false;
    if (acting || !stopSignals || !QCoreApplication::instance()) return;
    acting = true;
    auto* notifier = new QSocketNotifier(stopSignals->fd(), QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        if (stopSignals->received() && action && *action) (*action)();
    });
}

void handleTerminationSignals(std::function<void()> onSignal) {
    catchTerminationSignals({});
    *action = std::move(onSignal);
    actOnTerminationSignals();
}

}  // namespace tamaruka
