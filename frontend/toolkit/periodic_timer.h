#pragma once
#include <functional>

#include <QTimer>

namespace tamaruka {

// A window's periodic timer: an interval in milliseconds and an enabled flag.
// Each tick runs under the error rule. Ticks arrive through the event loop,
// one at a time, never inside another handler.
class PeriodicTimer {
public:
    PeriodicTimer(int intervalMilliseconds, bool enabled, std::function<void()> tick);

    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    void setInterval(int intervalMilliseconds);
    int interval() const { return timer_.interval(); }

private:
    QTimer timer_;
    bool enabled_ = false;
    std::function<void()> tick_;
};

}  // namespace tamaruka
