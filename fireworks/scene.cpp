#include "fireworks/scene.h"

#include <cmath>
#include <cstdlib>

namespace tamaruka {

namespace {

// Every burst child's fade: 0.010 ... 0.013.
float childFadeRate(RandomSource& random) {
    return 0.01f + 0.0001f * static_cast<float>(random.nextRandom() % 31);
}

// One velocity axis of a cube burst, half-width 0.020 or 0.010.
float wideAxis(RandomSource& random) {
    return 0.02f - 0.001f * static_cast<float>(random.nextRandom() % 41);
}
float narrowAxis(RandomSource& random) {
    return 0.01f - 0.001f * static_cast<float>(random.nextRandom() % 21);
}

}  // namespace

Scene::Scene(SceneHost& host, std::size_t nodeLimit) : particles(nodeLimit), host_(host) {}

void Scene::initScene() {
    random.seedRandom(host_.calendarSeconds());
    host_.loadSpriteTexture();
    previousTick = host_.tickCount();
    currentTick = host_.tickCount();
}

void Scene::stepFrame() {
    previousTick = currentTick;
    currentTick = host_.tickCount();
    // Unsigned difference: the counter's wrap-around still yields the true step.
    frameStep = static_cast<float>(currentTick - previousTick) * 0.5f;
    random.nextRandom();  // advances the source only
    if (rocketCount < MaxRockets) launchRocket();
    updateParticles();
    host_.drawFrame(*this);
}

void Scene::shutdownScene() {
    clearParticles();
    host_.deleteSpriteTexture();
}

// Velocity per step drifting the rocket back towards the centre line; no draw
// is made when the position truncates to 0.
float Scene::driftToward(float position) {
    const int k = static_cast<int>(position);
    if (k == 0) return 0.0f;
    if (position < 0) {
        return static_cast<float>(random.nextRandom() % static_cast<std::uint32_t>(std::abs(k))) *
               DriftFactor;
    }
    // The draw is negated as an integer, so a draw of 0 gives +0.
    const int draw = static_cast<int>(random.nextRandom() % static_cast<std::uint32_t>(k));
    return static_cast<float>(-draw) * DriftFactor;
}

void Scene::launchRocket() {
    Particle r;
    r.blue = random.randomColour();
    r.green = random.randomColour();
    r.alpha = 1.0f;
    r.red = random.randomColour();
    r.halfSize = 1.0f;
    r.fadeRate = 0.005f + 0.0001f * static_cast<float>(random.nextRandom() % 21);
    r.y = -24.0f;
    r.x = 30.0f - 0.1f * static_cast<float>(random.nextRandom() % 601);
    r.z = 20.0f - 0.1f * static_cast<float>(random.nextRandom() % 401);
    r.vx = driftToward(r.x);
    r.vy = 0.04f + 0.001f * static_cast<float>(random.nextRandom() % 11);
    r.vz = driftToward(r.z);
    r.isRocket = 1;
    r.leavesTrail = 1;
    r.burstKind = static_cast<std::uint8_t>(1 + random.nextRandom() % 6);
    r.trailInterval = 0.2f;
    r.trailTimer = 0.0f;
    // A rocket that found no node does not count, or the launches would stop
    // for good once five phantom rockets were counted.
    if (spawnParticle(r)) rocketCount += 1;
}

void Scene::emitTrail(const Particle& p) {
    Particle t;
    t.x = p.x;
    t.y = p.y;
    t.z = p.z;
    t.red = p.red;
    t.green = p.green;
    t.blue = p.blue;
    t.alpha = p.alpha * 0.9f;
    t.fadeRate = p.fadeRate * 7.0f;
    t.halfSize = 0.6f;
    spawnParticle(t);
}

void Scene::updateParticles() {
    Particle* cursor = particles.head();
    while (cursor) {
        Particle& p = *cursor;
        p.alpha -= frameStep * 0.1f * p.fadeRate;
        if (p.alpha > 0.05f) {
            p.x += frameStep * p.vx;
            p.y += frameStep * p.vy;
            p.z += frameStep * p.vz;
            p.vy -= Gravity * frameStep;
            if (p.leavesTrail) {
                p.trailTimer += frameStep * 0.01f;
                if (p.trailTimer > p.trailInterval) {
                    p.trailTimer = 0.0f;
                    emitTrail(p);
                }
            }
            cursor = p.next;
        } else {
            if (p.burstKind >= MixedBurst && p.burstKind <= SecondaryBurst) burst(p);
            if (p.isRocket) rocketCount -= 1;
            removeParticle(cursor);
        }
    }
}

void Scene::burst(const Particle& parent) {
    const auto kind = static_cast<BurstKind>(parent.burstKind);
    Particle c;
    c.x = parent.x;
    c.y = parent.y;
    c.z = parent.z;
    c.halfSize = 0.8f;
    int children = 0;
    bool mixedColour = false;
    switch (kind) {
    case MixedBurst: children = 100; mixedColour = true; c.alpha = 1.0f; break;
    case SolidBurst: children = 100; c.alpha = 1.0f; break;
    case MixedRing: children = 30; mixedColour = true; c.alpha = 1.5f; break;
    case SolidRing: children = 30; c.alpha = 1.5f; break;
    case SolidDoubleBurst: children = 30; c.alpha = 0.8f; c.burstKind = SecondaryBurst; break;
    case MixedDoubleBurst:
        children = 100; mixedColour = true; c.alpha = 0.8f; c.burstKind = SecondaryBurst;
        break;
    case SecondaryBurst: children = 10; c.alpha = 0.5f; c.halfSize = 0.6f; break;
    default: return;
    }
    const bool ring = kind == MixedRing || kind == SolidRing;
    if (ring) {
        c.leavesTrail = 1;
        c.trailInterval = 0.2f;
    }
    if (!mixedColour) {
        c.red = parent.red;
        c.green = parent.green;
        c.blue = parent.blue;
    }
    for (int i = 0; i < children; ++i) {
        if (ring) {
            const float theta = static_cast<float>(random.nextRandom() % 360) * DegreesToRadians;
            if (mixedColour) {
                c.blue = random.randomColour();
                c.green = random.randomColour();
                c.red = random.randomColour();
            }
            c.fadeRate = childFadeRate(random);
            c.vx = std::sin(theta) * 0.01f;
            c.vz = std::cos(theta) * 0.01f;
            c.vy = 0.01f + 0.001f * static_cast<float>(random.nextRandom() % 11);
        } else {
            if (mixedColour) {
                c.blue = random.randomColour();
                c.green = random.randomColour();
                c.red = random.randomColour();
            }
            c.fadeRate = childFadeRate(random);
            const bool narrow = kind == SolidDoubleBurst || kind == MixedDoubleBurst;
            c.vx = narrow ? narrowAxis(random) : wideAxis(random);
            c.vy = narrow ? narrowAxis(random) : wideAxis(random);
            c.vz = narrow ? narrowAxis(random) : wideAxis(random);
        }
        spawnParticle(c);
    }
}

}  // namespace tamaruka
