// The CPU frame composer against OpenGL on Mesa's software rasteriser: the
// same scene drawn both ways by frame_snapshot on the private Xvfb must match
// within 2 steps per channel, with at most 0.1 % of pixels more than 1 step apart.
// A Mesa that rounds differently fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;

using Picture = test::Screenshot;

Picture snapshot(const std::string& drawing, unsigned seed, unsigned frame, const std::string& size) {
    const std::string out = test::makeTempDir("frame-composer") + "/" + drawing + ".ppm";
    test::ChildProcess tool(test::binDir() + "/frame_snapshot",
                            {"--seed", std::to_string(seed), "--frame", std::to_string(frame), "--size", size,
                             "--drawing", drawing, out});
    const auto exit = tool.waitExit(60s);
    EXPECT_EQ(exit, 0) << tool.outputText();
    return test::readPpm(out);
}

using Case = std::tuple<unsigned, unsigned, const char*>;  // seed, frame, size
class FrameComposerMatch : public ::testing::TestWithParam<Case> {};

TEST_P(FrameComposerMatch, CpuFrameMatchesTheGlFrame) {
    const auto [seed, frame, size] = GetParam();
    const Picture gl = snapshot("gl", seed, frame, size);
    const Picture cpu = snapshot("cpu", seed, frame, size);
    ASSERT_GT(gl.width, 0);
    ASSERT_EQ(gl.width, cpu.width);
    ASSERT_EQ(gl.height, cpu.height);
    const std::size_t pixels = static_cast<std::size_t>(gl.width) * gl.height;
    ASSERT_EQ(gl.rgb.size(), pixels * 3);
    ASSERT_EQ(cpu.rgb.size(), pixels * 3);

    int maxStep = 0;
    std::size_t apart = 0, lit = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        int step = 0;
        for (int c = 0; c < 3; ++c) step = std::max(step, std::abs(gl.rgb[i * 3 + c] - cpu.rgb[i * 3 + c]));
        maxStep = std::max(maxStep, step);
        if (step > 1) ++apart;
        if (gl.rgb[i * 3] | gl.rgb[i * 3 + 1] | gl.rgb[i * 3 + 2]) ++lit;
    }
    std::printf("seed %u frame %u %s: max step %d, %zu of %zu pixels more than 1 step apart, %zu lit\n", seed,
                frame, size, maxStep, apart, pixels, lit);
    EXPECT_GT(lit, pixels / 200) << "the scene shows too little to compare";
    EXPECT_LE(maxStep, 2);
    EXPECT_LE(apart, pixels / 1000);
}

INSTANTIATE_TEST_SUITE_P(SeedsFramesAndSizes, FrameComposerMatch,
                         ::testing::Values(Case{7, 200, "640x480"}, Case{1, 600, "1024x768"},
                                           Case{3, 900, "480x800"},      // portrait: a wider field of view
                                           Case{5, 300, "1024x768"},     // a crowded burst, 2234 particles
                                           Case{11, 1500, "1920x1080"}, Case{2, 900, "333x251"}));

}  // namespace
}  // namespace tamaruka
