#include <gtest/gtest.h>

#include "common/frame_pacer.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using Clock = FramePacer::Clock;

TEST(FramePacerTest, UnknownRefreshRatesMeanSixtyHertz)
{
    EXPECT_EQ(FramePacer::periodForRefresh(0), 16666666ns);
    EXPECT_EQ(FramePacer::periodForRefresh(-5), 16666666ns);
    EXPECT_EQ(FramePacer::periodForRefresh(1e6), 16666666ns);
    EXPECT_EQ(FramePacer::periodForRefresh(144), 6944444ns);
    EXPECT_EQ(FramePacer::periodForRefresh(59.94), 16683350ns);
}

TEST(FramePacerTest, FastFramesWaitForTheirPeriod)
{
    FramePacer pacer(10ms);
    const Clock::time_point t0{};
    EXPECT_EQ(pacer.delayBeforeNextFrame(t0), 0ns);  // the first frame starts at once
    EXPECT_EQ(pacer.delayBeforeNextFrame(t0 + 2ms), 8ms);
    // The period is kept from frame to frame, not from the end of the wait.
    EXPECT_EQ(pacer.delayBeforeNextFrame(t0 + 20ms + 500us), 0ns);
    EXPECT_EQ(pacer.delayBeforeNextFrame(t0 + 21ms), 9ms);
}

TEST(FramePacerTest, FramesThatAlreadyTakeAPeriodAreNotDelayed)
{
    // A swap that waits for the display makes every frame last one period.
    FramePacer pacer(10ms);
    Clock::time_point now{};
    for (int frame = 0; frame < 100; ++frame) {
        EXPECT_EQ(pacer.delayBeforeNextFrame(now), 0ns) << "frame " << frame;
        now += 10ms + std::chrono::microseconds(frame % 3);  // with a little jitter
    }
}

TEST(FramePacerTest, AStallStartsAfreshInsteadOfCatchingUp)
{
    FramePacer pacer(10ms);
    const Clock::time_point t0{};
    pacer.delayBeforeNextFrame(t0);
    pacer.delayBeforeNextFrame(t0 + 10ms);
    // Stopped for three seconds: no burst of unpaced frames afterwards.
    EXPECT_EQ(pacer.delayBeforeNextFrame(t0 + 3s), 0ns);
    EXPECT_EQ(pacer.delayBeforeNextFrame(t0 + 3s + 1ms), 9ms);
}

}  // namespace
}  // namespace tamaruka
