#include <gtest/gtest.h>

#include <cmath>

#include "tests/fireworks/scene_test_host.h"

namespace tamaruka {
namespace {

using test::drawsOf;
using test::SceneTestHost;

struct LaunchTest : ::testing::Test {
    SceneTestHost host;
    Scene scene{host};

    const Particle& launchWithSeed(std::uint32_t seed) {
        scene.random.seedRandom(seed);
        scene.launchRocket();
        return *scene.particles.head();
    }
};

// Seed 1 draws 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464.
TEST_F(LaunchTest, SeedOneBuildsTheRocketFieldByField) {
    const Particle& r = launchWithSeed(1);
    EXPECT_FLOAT_EQ(r.blue, 41.0f / 60);
    EXPECT_FLOAT_EQ(r.green, 67.0f / 60);
    EXPECT_FLOAT_EQ(r.red, 34.0f / 60);
    EXPECT_EQ(r.alpha, 1.0f);
    EXPECT_EQ(r.halfSize, 1.0f);
    EXPECT_FLOAT_EQ(r.fadeRate, 0.0069f);  // 26500 mod 21 = 19
    EXPECT_EQ(r.y, -24.0f);
    EXPECT_FLOAT_EQ(r.x, -23.8f);          // 19169 mod 601 = 538
    EXPECT_FLOAT_EQ(r.z, 11.5f);           // 15724 mod 401 = 85
    EXPECT_FLOAT_EQ(r.vx, 1.0f / 1500);    // k = -23: 11478 mod 23 = 1, towards the centre
    EXPECT_FLOAT_EQ(r.vy, 0.05f);          // 29358 mod 11 = 10
    EXPECT_FLOAT_EQ(r.vz, -1.0f / 1500);   // k = 11: -(26962 mod 11) = -1
    EXPECT_EQ(r.burstKind, MixedRing);     // 1 + 24464 mod 6 = 1 + 2
    EXPECT_EQ(r.isRocket, 1);
    EXPECT_EQ(r.leavesTrail, 1);
    EXPECT_FLOAT_EQ(r.trailInterval, 0.2f);
    EXPECT_EQ(r.trailTimer, 0.0f);
    EXPECT_EQ(scene.rocketCount, 1u);
    // Exactly ten draws were made: the next one is the eleventh of the seed.
    EXPECT_EQ(scene.random.nextRandom(), drawsOf(1, 11)[10]);
}

// Seed 50 puts x at 0.4: k = 0, so vx is 0 and vx takes no draw.
TEST_F(LaunchTest, XBetweenMinusOneAndOneMakesNoDrawForVx) {
    const auto draws = drawsOf(50, 10);
    const Particle& r = launchWithSeed(50);
    EXPECT_NEAR(r.x, 0.4f, 1e-5f);        // 30 - 29.6 in single precision
    EXPECT_EQ(r.vx, 0.0f);
    EXPECT_FLOAT_EQ(r.vy, 0.045f);        // draw 7: 148 mod 11 = 5
    EXPECT_FLOAT_EQ(r.z, -9.7f);
    EXPECT_FLOAT_EQ(r.vz, 2.0f / 1500);   // draw 8: 16994 mod 9 = 2, positive for z < 0
    EXPECT_EQ(r.burstKind, MixedBurst);   // draw 9: 1 + 16830 mod 6
    EXPECT_EQ(scene.random.nextRandom(), draws[9]);
}

// Seed 23 puts z at 0.1: vz is 0 without a draw.
TEST_F(LaunchTest, ZBetweenMinusOneAndOneMakesNoDrawForVz) {
    const auto draws = drawsOf(23, 10);
    const Particle& r = launchWithSeed(23);
    EXPECT_FLOAT_EQ(r.x, -18.7f);
    EXPECT_FLOAT_EQ(r.vx, 15.0f / 1500);  // 14415 mod 18 = 15
    EXPECT_FLOAT_EQ(r.vy, 0.042f);        // 30494 mod 11 = 2
    EXPECT_NEAR(r.z, 0.1f, 1e-5f);
    EXPECT_EQ(r.vz, 0.0f);
    EXPECT_EQ(r.burstKind, SolidRing);    // 1 + 29769 mod 6 = 1 + 3
    EXPECT_EQ(scene.random.nextRandom(), draws[9]);
}

TEST_F(LaunchTest, RangesOverManyLaunchesAndNeverKindSeven) {
    scene.random.seedRandom(777);
    for (int i = 0; i < 5000; ++i) {
        scene.launchRocket();
        const Particle& r = *scene.particles.head();
        EXPECT_GE(r.x, -30.0f);
        EXPECT_LE(r.x, 30.0f);
        EXPECT_GE(r.z, -20.0f);
        EXPECT_LE(r.z, 20.0f);
        // Drift towards the centre line (and +0 rather than -0 when no drift).
        EXPECT_FALSE(std::signbit(r.vx) && r.x < 0);
        EXPECT_FALSE(r.vx > 0 && r.x > 0);
        EXPECT_GE(r.vy, 0.04f);
        EXPECT_LE(r.vy, 0.05f);
        EXPECT_GE(r.fadeRate, 0.005f);
        EXPECT_LE(r.fadeRate, 0.007f);
        EXPECT_GE(r.burstKind, MixedBurst);
        EXPECT_LE(r.burstKind, MixedDoubleBurst);
        EXPECT_LT(r.blue, 1.66f);
    }
    EXPECT_EQ(scene.rocketCount, 5000u);
}

}  // namespace
}  // namespace tamaruka
