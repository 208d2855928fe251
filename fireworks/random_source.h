#pragma once
#include <cstdint>

namespace tamaruka {

// The fireworks' one random generator: a 32-bit linear congruential state
// whose draws are 0 ... 32767, so that a seed and a sequence of frame steps
// always give the same fireworks.
class RandomSource {
public:
    void seedRandom(std::uint32_t seed) { state_ = seed; }

    std::uint32_t nextRandom() {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7FFFu;
    }

    // One colour channel: 0, 1/60, ... 99/60; above 1.0 saturates when drawn.
    float randomColour() { return static_cast<float>(nextRandom() % 100) * 0.016666668f; }

    std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_ = 0;
};

}  // namespace tamaruka
