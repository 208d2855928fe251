// tamaruka --root on Xvfb (Mesa's llvmpipe): it composes its frames on the CPU
// and puts them with MIT-SHM, with XPutImage on a server without MIT-SHM, and
// draws with GL when TAMARUKA_DRAWING=gl says so; fireworks show every time.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;

struct Case {
    const char* name;
    std::vector<std::string> serverArgs;
    const char* drawingSetting;  // TAMARUKA_DRAWING, or null
    const char* expected;        // the drawing tamaruka reports
};

class RootDrawing : public ::testing::TestWithParam<Case> {};

TEST_P(RootDrawing, FireworksThroughTheExpectedDrawing) {
    const Case& c = GetParam();
    test::XvfbDisplay server(800, 600, c.serverArgs);
    std::map<std::string, std::string> env{{"DISPLAY", server.name()}, {"TAMARUKA_PRINT_FRAME_STEPS", "1"}};
    if (c.drawingSetting) env["TAMARUKA_DRAWING"] = c.drawingSetting;
    test::ChildProcess program(test::binDir() + "/tamaruka", {"--root", "--fps"}, env);
    const std::string line = std::string("drawing ") + c.expected + "\n";
    ASSERT_TRUE(test::waitUntil([&] { return program.outputText().find("drawing ") != std::string::npos; }, 20s))
        << program.outputText();
    EXPECT_NE(program.outputText().find(line), std::string::npos) << program.outputText();

    test::XClient x(server.name());
    test::Screenshot shot;
    const bool shown = test::waitUntil([&] {
        shot = x.capture();
        return shot.countBrighterThan(24) > 150 && shot.distinctColours() > 20 && shot.meanBrightness() < 40.0;
    }, 20s);
    if (!shown) shot.savePng(test::makeTempDir("cpu-drawing") + "/root.png");
    EXPECT_TRUE(shown) << program.outputText();
    program.sendSignal(SIGTERM);
    EXPECT_EQ(program.waitExit(5s), 0) << program.outputText();
}

INSTANTIATE_TEST_SUITE_P(Servers, RootDrawing,
                         ::testing::Values(Case{"SharedMemory", {}, nullptr, "CPU, MIT-SHM"},
                                           Case{"NoSharedMemory", {"-extension", "MIT-SHM"}, nullptr,
                                                "CPU, XPutImage"},
                                           Case{"GlOverride", {}, "gl", "GL"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamaruka
