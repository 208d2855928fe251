#pragma once
#include <cstdint>

#include "fireworks/particle_list.h"
#include "fireworks/random_source.h"

namespace tamaruka {

class Scene;

// What the scene needs from around it: the clocks, the sprite texture and the
// drawing. The program provides the real ones; tools and tests their own.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual std::uint32_t tickCount() = 0;         // milliseconds, wrapping at 2^32
    virtual std::uint32_t calendarSeconds() = 0;   // seeds the random source
    virtual void loadSpriteTexture() = 0;
    virtual void deleteSpriteTexture() = 0;
    virtual void drawFrame(const Scene& scene) = 0;
};

// The fireworks: every rocket, spark and trail particle in one list, advanced
// by the real time between frames.
class Scene {
public:
    static constexpr std::uint32_t MaxRockets = 5;
    static constexpr float Gravity = 0.00003f;
    static constexpr float DegreesToRadians = 0.017453158f;
    static constexpr float DriftFactor = 0.00066666666f;

    explicit Scene(SceneHost& host, std::size_t nodeLimit = ParticleNodePool::NoLimit);

    void initScene();
    void stepFrame();
    void shutdownScene();

    void launchRocket();
    void updateParticles();
    void burst(const Particle& parent);

    Particle* spawnParticle(const Particle& record) { return particles.spawn(record); }
    void removeParticle(Particle*& cursor) { particles.remove(cursor); }
    void clearParticles() { particles.clear(); }

    ParticleList particles;
    std::uint32_t rocketCount = 0;
    float frameStep = 0;
    std::uint32_t previousTick = 0;
    std::uint32_t currentTick = 0;
    RandomSource random;

private:
    float driftToward(float position);
    void emitTrail(const Particle& p);

    SceneHost& host_;
};

}  // namespace tamaruka
