#pragma once
#include <cstdint>

#include "fireworks/scene.h"

namespace tamaruka {

// A scene host for programs that step a scene themselves and draw it their
// own way, or not at all: the tick count and the seed are set by hand, and
// the scene's texture and frame requests do nothing.
class SteppedSceneHost : public SceneHost {
public:
    explicit SteppedSceneHost(std::uint32_t seed) : seed(seed) {}
    std::uint32_t tick = 0;
    std::uint32_t seed;

    std::uint32_t tickCount() override { return tick; }
    std::uint32_t calendarSeconds() override { return seed; }
    void loadSpriteTexture() override {}
    void deleteSpriteTexture() override {}
    void drawFrame(const Scene&) override {}
};

}  // namespace tamaruka
