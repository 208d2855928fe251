#include <gtest/gtest.h>

#include <cmath>

#include "tests/fireworks/scene_test_host.h"

namespace tamaruka {
namespace {

using test::particlesOf;
using test::SceneTestHost;

Particle spark(float alpha, float fadeRate) {
    Particle p;
    p.x = 1;
    p.y = 2;
    p.z = 3;
    p.vx = 0.5f;
    p.vy = 0.25f;
    p.vz = -0.5f;
    p.red = 0.2f;
    p.green = 0.4f;
    p.blue = 0.6f;
    p.alpha = alpha;
    p.fadeRate = fadeRate;
    p.halfSize = 0.8f;
    return p;
}

struct UpdateTest : ::testing::Test {
    SceneTestHost host;
    Scene scene{host};
};

TEST_F(UpdateTest, LivingParticleFadesMovesWithOldVelocityThenFalls) {
    scene.spawnParticle(spark(1.0f, 0.01f));
    scene.frameStep = 10;
    scene.updateParticles();
    const Particle& p = *scene.particles.head();
    EXPECT_FLOAT_EQ(p.alpha, 0.99f);  // 10 steps x 0.1 x 0.01
    EXPECT_FLOAT_EQ(p.x, 6.0f);
    EXPECT_FLOAT_EQ(p.y, 4.5f);
    EXPECT_FLOAT_EQ(p.z, -2.0f);
    EXPECT_FLOAT_EQ(p.vy, 0.25f - 0.0003f);
    EXPECT_EQ(p.vx, 0.5f);
}

TEST_F(UpdateTest, AlphaLandingExactlyOnTheThresholdDies) {
    // 0.1 - 1 x 0.1 x 0.5 is exactly 0.05 in single precision.
    scene.spawnParticle(spark(0.1f, 0.5f));
    scene.frameStep = 1;
    scene.updateParticles();
    EXPECT_EQ(scene.particles.size(), 0u);

    scene.spawnParticle(spark(std::nextafter(0.1f, 1.0f), 0.5f));
    scene.updateParticles();
    ASSERT_EQ(scene.particles.size(), 1u);
    EXPECT_GT(scene.particles.head()->alpha, 0.05f);
}

TEST_F(UpdateTest, DyingParticleDoesNotMoveAndItsChildrenStartWhereItWas) {
    Particle rocket = spark(0.06f, 1.0f);
    rocket.isRocket = 1;
    rocket.burstKind = SecondaryBurst;
    scene.spawnParticle(rocket);
    scene.rocketCount = 1;
    scene.frameStep = 1;
    scene.updateParticles();
    EXPECT_EQ(scene.rocketCount, 0u);
    ASSERT_EQ(scene.particles.size(), 10u);
    for (const Particle* child : particlesOf(scene)) {
        EXPECT_EQ(child->x, 1.0f);
        EXPECT_EQ(child->y, 2.0f);
        EXPECT_EQ(child->z, 3.0f);
        // Pushed ahead of the cursor: not yet faded in this pass.
        EXPECT_EQ(child->alpha, 0.5f);
    }
}

TEST_F(UpdateTest, KindsOutsideOneToSevenDieWithoutChildren) {
    for (std::uint8_t kind : {0, 8, 255}) {
        Particle p = spark(0.01f, 0.01f);
        p.burstKind = kind;
        scene.spawnParticle(p);
    }
    scene.frameStep = 1;
    scene.updateParticles();
    EXPECT_EQ(scene.particles.size(), 0u);
}

TEST_F(UpdateTest, TrailTimerExactlyAtTheIntervalEmitsNothing) {
    Particle p = spark(1.0f, 0.01f);
    p.leavesTrail = 1;
    p.trailInterval = 0.2f;
    p.trailTimer = 0.19f;  // + 1 step x 0.01 is exactly 0.2 in single precision
    scene.spawnParticle(p);
    scene.frameStep = 1;
    scene.updateParticles();
    ASSERT_EQ(scene.particles.size(), 1u);
    EXPECT_EQ(scene.particles.head()->trailTimer, 0.2f);
}

TEST_F(UpdateTest, TrailTimerPastTheIntervalEmitsOneTrailParticleAndDropsTheExcess) {
    Particle p = spark(1.0f, 0.01f);
    p.leavesTrail = 1;
    p.trailInterval = 0.2f;
    p.trailTimer = 0.15f;
    p.burstKind = MixedRing;
    p.isRocket = 1;
    scene.spawnParticle(p);
    scene.frameStep = 50;  // timer 0.65: far past, still one trail particle
    scene.updateParticles();
    const auto list = particlesOf(scene);
    ASSERT_EQ(list.size(), 2u);
    const Particle& parent = *list[1];
    const Particle& trail = *list[0];
    EXPECT_EQ(parent.trailTimer, 0.0f);
    EXPECT_EQ(trail.x, parent.x);
    EXPECT_EQ(trail.y, parent.y);
    EXPECT_EQ(trail.z, parent.z);
    EXPECT_EQ(trail.vx, 0.0f);
    EXPECT_EQ(trail.vy, 0.0f);
    EXPECT_EQ(trail.vz, 0.0f);
    EXPECT_EQ(trail.red, 0.2f);
    EXPECT_EQ(trail.green, 0.4f);
    EXPECT_EQ(trail.blue, 0.6f);
    EXPECT_FLOAT_EQ(trail.alpha, parent.alpha * 0.9f);
    EXPECT_FLOAT_EQ(trail.fadeRate, 0.07f);
    EXPECT_FLOAT_EQ(trail.halfSize, 0.6f);
    EXPECT_EQ(trail.isRocket, 0);
    EXPECT_EQ(trail.burstKind, NoBurst);
    EXPECT_EQ(trail.leavesTrail, 0);
    EXPECT_EQ(trail.trailInterval, 0.0f);
    EXPECT_EQ(trail.trailTimer, 0.0f);
}

TEST_F(UpdateTest, ParticlesSpawnedDuringThePassAreNotVisited) {
    // Each trailing particle emits on every pass; the trail particles it made
    // would otherwise fade in the same pass.
    for (int i = 0; i < 3; ++i) {
        Particle p = spark(1.0f, 0.001f);
        p.leavesTrail = 1;
        p.trailInterval = 0.2f;
        p.trailTimer = 0.5f;
        scene.spawnParticle(p);
    }
    scene.frameStep = 1;
    scene.updateParticles();
    const auto list = particlesOf(scene);
    ASSERT_EQ(list.size(), 6u);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(list[i]->alpha, (1.0f - 0.0001f) * 0.9f);
}

}  // namespace
}  // namespace tamaruka
