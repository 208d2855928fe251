#include <gtest/gtest.h>

#include "tests/fireworks/scene_test_host.h"

namespace tamaruka {
namespace {

using test::drawsOf;
using test::liveRockets;
using test::SceneTestHost;

struct FrameStepTest : ::testing::Test {
    SceneTestHost host;
    Scene scene{host};

    void start(std::uint32_t tick, std::uint32_t seed = 1) {
        host.tick = tick;
        host.seed = seed;
        scene.initScene();
    }
    void frameAt(std::uint32_t tick) {
        host.tick = tick;
        scene.stepFrame();
    }
};

TEST_F(FrameStepTest, InitSeedsLoadsTheTextureAndStartsBothTicks) {
    start(1234, 77);
    EXPECT_EQ(scene.random.state(), 77u);
    EXPECT_EQ(host.textureLoads, 1);
    EXPECT_EQ(scene.previousTick, 1234u);
    EXPECT_EQ(scene.currentTick, 1234u);
    EXPECT_EQ(scene.particles.size(), 0u);
    EXPECT_EQ(scene.rocketCount, 0u);
}

TEST_F(FrameStepTest, OneDiscardedDrawThenTheLaunchThenTheDraw) {
    start(1000, 1);
    frameAt(1016);
    EXPECT_EQ(scene.frameStep, 8.0f);
    EXPECT_EQ(host.frames, 1);
    EXPECT_EQ(host.drawnCounts.back(), 1u);
    // The rocket's blue comes from the second draw: the first is discarded.
    const auto d = drawsOf(1, 2);
    EXPECT_EQ(scene.particles.head()->blue, static_cast<float>(d[1] % 100) * 0.016666668f);
    // The rocket launched in this frame was also updated in it.
    EXPECT_GT(scene.particles.head()->y, -24.0f);
    EXPECT_LT(scene.particles.head()->alpha, 1.0f);
}

TEST_F(FrameStepTest, StepZeroMovesNothingButStillLaunches) {
    start(500);
    frameAt(500);
    EXPECT_EQ(scene.frameStep, 0.0f);
    ASSERT_EQ(scene.particles.size(), 1u);
    const Particle& rocket = *scene.particles.head();
    EXPECT_EQ(rocket.y, -24.0f);
    EXPECT_EQ(rocket.alpha, 1.0f);
    EXPECT_EQ(rocket.trailTimer, 0.0f);
    EXPECT_EQ(scene.rocketCount, 1u);
    frameAt(500);
    EXPECT_EQ(scene.particles.size(), 2u);
    EXPECT_EQ(scene.rocketCount, 2u);
}

TEST_F(FrameStepTest, AtMostOneLaunchPerFrameAndNeverMoreThanFiveRockets) {
    start(0);
    for (std::uint32_t i = 1; i <= 5; ++i) {
        frameAt(i);
        EXPECT_EQ(scene.rocketCount, i);
    }
    for (std::uint32_t i = 6; i < 200; ++i) {
        frameAt(i);
        EXPECT_EQ(scene.rocketCount, 5u);
        EXPECT_EQ(liveRockets(scene), 5u);
    }
}

TEST_F(FrameStepTest, TickWrapAroundGivesTheTrueSmallStep) {
    start(0xFFFFFFF0u);
    frameAt(0x10u);
    EXPECT_EQ(scene.frameStep, 16.0f);  // 32 ms
    EXPECT_EQ(scene.previousTick, 0xFFFFFFF0u);
    EXPECT_EQ(scene.currentTick, 0x10u);
}

TEST_F(FrameStepTest, LongStallBurstsTheNewRocketAtItsLaunchPosition) {
    start(0, 1);
    frameAt(20000);  // one step of 10000: the rocket's alpha is gone at once
    EXPECT_EQ(scene.frameStep, 10000.0f);
    EXPECT_EQ(scene.rocketCount, 0u);
    ASSERT_GT(scene.particles.size(), 0u);
    // Seed 1 after the discarded draw: the rocket's x and z come from draws 6 and 7.
    const auto d = drawsOf(1, 8);
    const float x = 30.0f - 0.1f * static_cast<float>(d[5] % 601);
    const float z = 20.0f - 0.1f * static_cast<float>(d[6] % 401);
    for (const Particle* p = scene.particles.head(); p; p = p->next) {
        EXPECT_EQ(p->x, x);
        EXPECT_EQ(p->y, -24.0f);
        EXPECT_EQ(p->z, z);
        EXPECT_EQ(p->isRocket, 0);
    }
    // The next frame launches a replacement.
    frameAt(20016);
    EXPECT_EQ(scene.rocketCount, 1u);
}

TEST_F(FrameStepTest, ShutdownFreesEveryParticleAndDeletesTheTexture) {
    start(0);
    for (std::uint32_t t = 16; t < 5000; t += 16) frameAt(t);
    EXPECT_GT(scene.particles.size(), 100u);
    scene.shutdownScene();
    EXPECT_EQ(scene.particles.head(), nullptr);
    EXPECT_EQ(scene.particles.pool().liveNodes(), 0u);
    EXPECT_EQ(host.textureDeletes, 1);
}

// With too few nodes spawns fail; the scene goes on and its rocket count
// still matches the rockets in the list.
TEST(FrameStepLimit, FailedSpawnsAreSkippedAndTheCountStaysTrue) {
    for (std::size_t limit : {0u, 3u, 40u, 250u}) {
        SceneTestHost host;
        Scene scene(host, limit);
        scene.initScene();
        for (std::uint32_t t = 17; t < 20000; t += 17) {
            host.tick = t;
            scene.stepFrame();
            ASSERT_LE(scene.particles.size(), limit);
            ASSERT_EQ(scene.rocketCount, liveRockets(scene));
        }
    }
}

}  // namespace
}  // namespace tamaruka
