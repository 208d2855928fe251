#include "frontend/platform/display_counter.h"

namespace tamaruka {

DisplayCounter::DisplayCounter(std::function<void(bool)> visibilityChanged)
    : visibilityChanged_(std::move(visibilityChanged))
{
}

int DisplayCounter::show(bool show)
{
    const bool wasVisible = count_ >= 0;
    count_ += show ? 1 : -1;
    const bool visible = count_ >= 0;
    if (visible != wasVisible && visibilityChanged_) visibilityChanged_(visible);
    return count_;
}

}  // namespace tamaruka
