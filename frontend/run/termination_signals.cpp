#include "frontend/run/termination_signals.h"

#include <stdexcept>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "common/stop_signals.h"

namespace tamaruka {

void handleTerminationSignals(std::function<void()> onSignal) {
    static StopSignals* stopSignals = nullptr;
    if (stopSignals) return;
    try {
        // Lives as long as the process: the run ends it by the immediate end.
        stopSignals = new StopSignals;
    } catch (const std::runtime_error&) {
        return;
    }
    auto* notifier = new QSocketNotifier(stopSignals->fd(), QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal = std::move(onSignal)] {
        if (stopSignals->received()) onSignal();
    });
}

}  // namespace tamaruka
