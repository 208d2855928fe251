#pragma once
#include <cstdint>
#include <vector>

#include "fireworks/random_source.h"
#include "fireworks/scene.h"

namespace tamaruka::test {

// A scene host with a hand-set clock and seed that counts what the scene asks of it.
class SceneTestHost : public SceneHost {
public:
    std::uint32_t tick = 0;
    std::uint32_t seed = 1;
    int textureLoads = 0;
    int textureDeletes = 0;
    int frames = 0;
    std::vector<std::size_t> drawnCounts;  // particles seen by each frame

    std::uint32_t tickCount() override { return tick; }
    std::uint32_t calendarSeconds() override { return seed; }
    void loadSpriteTexture() override { ++textureLoads; }
    void deleteSpriteTexture() override { ++textureDeletes; }
    void drawFrame(const Scene& scene) override {
        ++frames;
        drawnCounts.push_back(scene.particles.size());
    }
};

// The draws of a seed, for checking which values went where.
inline std::vector<std::uint32_t> drawsOf(std::uint32_t seed, int count) {
    RandomSource random;
    random.seedRandom(seed);
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < count; ++i) draws.push_back(random.nextRandom());
    return draws;
}

inline std::vector<const Particle*> particlesOf(const Scene& scene) {
    std::vector<const Particle*> list;
    for (const Particle* p = scene.particles.head(); p; p = p->next) list.push_back(p);
    return list;
}

inline std::uint32_t liveRockets(const Scene& scene) {
    std::uint32_t rockets = 0;
    for (const Particle* p = scene.particles.head(); p; p = p->next) rockets += p->isRocket;
    return rockets;
}

}  // namespace tamaruka::test
