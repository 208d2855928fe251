// Simulated time at 60 Hz: the rocket count stays true and at most five, the
// particle count stays bounded and every node is freed at the end. In the
// sanitizer build AddressSanitizer also catches any use of a removed node.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/fireworks/scene_test_host.h"

namespace tamaruka {
namespace {

using test::liveRockets;
using test::SceneTestHost;

TEST(Soak, SimulatedMinutesAtSixtyHertzKeepTheInvariants) {
    const char* minutesText = std::getenv("TAMARUKA_SOAK_MINUTES");
    const std::uint64_t minutes = minutesText ? std::strtoull(minutesText, nullptr, 10) : 120;
    const std::uint64_t frames = minutes * 60 * 60;
    SceneTestHost host;
    host.seed = 20240601;
    host.tick = 0xFFFF0000u;  // the counter wraps within the first 70 s
    std::size_t peak = 0;
    {
        Scene scene(host);
        scene.initScene();
        for (std::uint64_t i = 1; i <= frames; ++i) {
            host.tick = 0xFFFF0000u + static_cast<std::uint32_t>(i * 1000 / 60);
            scene.stepFrame();
            ASSERT_LE(scene.rocketCount, Scene::MaxRockets);
            if (i % 60 == 0) {
                ASSERT_EQ(scene.rocketCount, liveRockets(scene)) << "frame " << i;
            }
            peak = std::max(peak, scene.particles.size());
            ASSERT_LT(scene.particles.size(), 6000u) << "frame " << i;
        }
        EXPECT_EQ(scene.rocketCount, liveRockets(scene));
        scene.shutdownScene();
        EXPECT_EQ(scene.particles.head(), nullptr);
        EXPECT_EQ(scene.particles.size(), 0u);
        EXPECT_EQ(scene.particles.pool().liveNodes(), 0u);
    }
    RecordProperty("peak_particles", static_cast<int>(peak));
    EXPECT_GT(peak, 500u);  // the scene did run at full load
}

}  // namespace
}  // namespace tamaruka
