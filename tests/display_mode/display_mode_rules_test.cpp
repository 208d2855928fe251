// The display mode's rules that need no display: the field of view for any
// window shape, the clamped frame clock, refresh rates and monitors, the
// pointer rule and the --fps text.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "common/mode_refresh.h"
#include "display_mode/fps_meter.h"
#include "display_mode/screen_areas.h"
#include "display_mode/step_clock.h"
#include "display_mode/view_field.h"

namespace tamaruka {
namespace {

// Half the width that the field shows at the launch plane, 60 units away.
double halfWidthAtLaunchPlane(int width, int height) {
    const double fovy = verticalFieldOfView(width, height) * std::numbers::pi / 180.0;
    return 60.0 * std::tan(fovy / 2) * width / height;
}

TEST(ViewFieldTest, FortyFiveDegreesFromFourToThreeAndWider) {
    for (auto [w, h] : {std::pair{1024, 768}, {1600, 1200}, {1920, 1080}, {3840, 1080}, {900, 320}, {5, 0}})
        EXPECT_EQ(verticalFieldOfView(w, h), 45.0) << w << "x" << h;
}

TEST(ViewFieldTest, NarrowerWindowsShowWhatFourToThreeShowsAcross) {
    const double fourToThree = halfWidthAtLaunchPlane(1024, 768);
    EXPECT_NEAR(fourToThree, 33.137, 0.001);  // so x from -30 to 30 is in view
    for (auto [w, h] : {std::pair{1023, 768}, {1280, 1024}, {768, 1024}, {300, 720}, {1080, 1920}, {1, 2000}}) {
        EXPECT_GT(verticalFieldOfView(w, h), 45.0) << w << "x" << h;
        EXPECT_LT(verticalFieldOfView(w, h), 180.0) << w << "x" << h;
        EXPECT_NEAR(halfWidthAtLaunchPlane(w, h), fourToThree, 1e-6) << w << "x" << h;
    }
    // A square window: tan(fovy/2) = tan(22.5 deg) * 4/3.
    EXPECT_NEAR(verticalFieldOfView(500, 500), 57.8224, 1e-4);
    EXPECT_NEAR(verticalFieldOfView(0, 500), verticalFieldOfView(1, 500), 1e-12);
}

TEST(ClampedTickClockTest, FollowsTheRealClockInStepsOfAtMostAHundredMilliseconds) {
    ClampedTickClock clock(5000);
    EXPECT_EQ(clock.tick(5000), 0u);
    EXPECT_EQ(clock.tick(5016), 16u);
    EXPECT_EQ(clock.tick(5116), 116u);   // exactly 100: kept
    EXPECT_EQ(clock.tick(5217), 216u);   // 101: clamped
    EXPECT_EQ(clock.tick(8217), 316u);   // a stop of 3 s: one step of 100
    EXPECT_EQ(clock.tick(8233), 332u);   // and on as before
    EXPECT_EQ(clock.tick(8200), 332u);   // a clock that went back: no time
    EXPECT_EQ(clock.tick(8240), 339u);   // measured from the latest reading
}

TEST(RefreshRateTest, FromTheModeTimingsLikeXrandr) {
    // 1920x1080 at 60 Hz (CEA): 148.5 MHz, 2200 x 1125.
    EXPECT_DOUBLE_EQ(modeRefreshHz(148'500'000, 2200, 1125, false, false), 60.0);
    // 1024x768 at 60 Hz (VESA): 65 MHz, 1344 x 806.
    EXPECT_NEAR(modeRefreshHz(65'000'000, 1344, 806, false, false), 60.004, 0.001);
    EXPECT_DOUBLE_EQ(modeRefreshHz(148'500'000, 2200, 1125, true, false), 30.0);
    EXPECT_DOUBLE_EQ(modeRefreshHz(74'250'000, 2200, 1125, false, true), 60.0);
    // Xvfb: no timings, unknown.
    EXPECT_EQ(modeRefreshHz(0, 0, 0, false, false), 0.0);
    EXPECT_EQ(modeRefreshHz(65'000'000, 0, 806, false, false), 0.0);
}

TEST(RefreshRateTest, TheOutputShowingMostOfTheWindowDecides) {
    const std::vector<DisplayOutput> outputs = {{{0, 0, 1920, 1080}, 60.0}, {{1920, 0, 2560, 1440}, 144.0}};
    EXPECT_EQ(refreshForArea(outputs, {100, 100, 800, 600}), 60.0);
    EXPECT_EQ(refreshForArea(outputs, {1900, 0, 800, 600}), 144.0);  // mostly on the right
    EXPECT_EQ(refreshForArea(outputs, {1520, 0, 800, 600}), 60.0);   // mostly on the left
    EXPECT_EQ(refreshForArea(outputs, {5000, 0, 100, 100}), 0.0);    // on neither
    EXPECT_EQ(refreshForArea({}, {0, 0, 100, 100}), 0.0);
}

TEST(MonitorsToCoverTest, SplitScreensClonesAndSingles) {
    const ScreenArea left{0, 0, 800, 600}, right{800, 0, 800, 600}, whole{0, 0, 1600, 600};
    // xrandr --setmonitor twice: the screen's own monitor still lists the whole.
    EXPECT_EQ(monitorsToCover(std::vector{left, right, whole}), (std::vector{left, right}));
    EXPECT_EQ(monitorsToCover(std::vector{whole}), (std::vector{whole}));
    // Two monitors showing the same picture get one scene.
    EXPECT_EQ(monitorsToCover(std::vector{left, left, right}), (std::vector{left, right}));
    // Side by side with different sizes, and an empty entry.
    const ScreenArea tall{1920, 0, 1080, 1920};
    EXPECT_EQ(monitorsToCover(std::vector{ScreenArea{0, 0, 1920, 1080}, tall, ScreenArea{0, 0, 0, 0}}),
              (std::vector{ScreenArea{0, 0, 1920, 1080}, tall}));
}

TEST(CoverChangeTest, KeepsUnchangedAreasWhateverTheirOrder) {
    const ScreenArea left{0, 0, 800, 600}, right{800, 0, 800, 600}, whole{0, 0, 1600, 600};
    const std::vector covered{left, right};
    EXPECT_FALSE(coverChange(covered, std::vector{right, left}).any());
    // One monitor moved: its window goes, a new one opens; the other stays.
    const ScreenArea moved{1000, 0, 600, 600};
    const CoverChange move = coverChange(covered, std::vector{left, moved});
    EXPECT_EQ(move.close, (std::vector<std::size_t>{1}));
    EXPECT_EQ(move.open, (std::vector{moved}));
    const CoverChange join = coverChange(covered, std::vector{whole});
    EXPECT_EQ(join.close, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(join.open, (std::vector{whole}));
    // No monitor listed for a moment: the windows stay rather than none at all.
    EXPECT_FALSE(coverChange(covered, std::vector<ScreenArea>{}).any());
}

TEST(MonitorCoverTest, OnlyAWindowHoldingAWholeMonitorPlaysMusic) {
    const std::vector monitors{ScreenArea{0, 0, 1920, 1080}, ScreenArea{1920, 0, 1280, 1024}};
    // A preview pane, and a window one pixel short of a monitor.
    EXPECT_FALSE(coversAWholeMonitor({100, 100, 480, 300}, monitors));
    EXPECT_FALSE(coversAWholeMonitor({0, 0, 1920, 1079}, monitors));
    EXPECT_FALSE(coversAWholeMonitor({1, 0, 1920, 1080}, monitors));
    // One monitor exactly, the second one, or the whole screen over both.
    EXPECT_TRUE(coversAWholeMonitor({0, 0, 1920, 1080}, monitors));
    EXPECT_TRUE(coversAWholeMonitor({1920, 0, 1280, 1024}, monitors));
    EXPECT_TRUE(coversAWholeMonitor({-10, -10, 4000, 2000}, monitors));
    // Straddling both without holding either; an empty monitor counts for nothing.
    EXPECT_FALSE(coversAWholeMonitor({960, 0, 1920, 1080}, monitors));
    EXPECT_FALSE(coversAWholeMonitor({0, 0, 480, 300}, std::vector{ScreenArea{10, 10, 0, 0}}));
}

TEST(PointerRuleTest, MoreThanThirtyPixelsOnBothAxes) {
    EXPECT_FALSE(pointerMovedFarEnough(500, 400, 530, 430));
    EXPECT_FALSE(pointerMovedFarEnough(500, 400, 531, 430));
    EXPECT_FALSE(pointerMovedFarEnough(500, 400, 900, 400));  // along one axis only
    EXPECT_TRUE(pointerMovedFarEnough(500, 400, 531, 431));
    EXPECT_TRUE(pointerMovedFarEnough(500, 400, 469, 369));
}

TEST(FpsMeterTest, FramesAndCpuShareOverEachSecond) {
    FpsMeter meter;
    EXPECT_EQ(meter.text(), "FPS: -\nCPU: -");
    meter.frame(100.0, 2.0);  // the start
    for (int i = 1; i < 60; ++i) meter.frame(100.0 + i / 60.0, 2.0 + i * 0.25 / 60);
    EXPECT_EQ(meter.text(), "FPS: -\nCPU: -");  // not a second yet
    meter.frame(101.0, 2.25);
    EXPECT_EQ(meter.text(), "FPS: 60.0\nCPU: 25%");
    // The next second: 20 frames using 1.2 s of CPU (two cores busy).
    for (int i = 1; i <= 20; ++i) meter.frame(101.0 + i * 0.05, 2.25 + i * 0.06);
    EXPECT_EQ(meter.text(), "FPS: 20.0\nCPU: 120%");
}

}  // namespace
}  // namespace tamaruka
