#include "frontend/toolkit/periodic_timer.h"

#include "common/error_rule.h"

namespace tamaruka {

PeriodicTimer::PeriodicTimer(int intervalMilliseconds, bool enabled, std::function<void()> tick)
    : tick_(std::move(tick))
{
    timer_.setInterval(intervalMilliseconds);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (tick_) runStep(tick_);
    });
    setEnabled(enabled);
}

void PeriodicTimer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    // An interval of 0 never ticks, as the toolkit's timers behave.
    if (enabled_ && timer_.interval() > 0)
        timer_.start();
    else
        timer_.stop();
}

void PeriodicTimer::setInterval(int intervalMilliseconds)
{
    timer_.setInterval(intervalMilliseconds);
    setEnabled(enabled_);
}

}  // namespace tamaruka
