#pragma once
#include <functional>

namespace tamaruka {

// The cursor's display counter: visible while the count is 0 or more. The
// callback hears each change between visible and hidden, not each call.
class DisplayCounter {
public:
    explicit DisplayCounter(std::function<void(bool visible)> visibilityChanged = {});

    // +1 for true, -1 for false; returns the new count.
    int show(bool show);
    int count() const { return count_; }

private:
    int count_ = 0;
    std::function<void(bool)> visibilityChanged_;
};

}  // namespace tamaruka
