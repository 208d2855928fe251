#include "common/software_gl_threads.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tamaruka {
namespace {

TEST(SoftwareGlThreadsTest, OneThreadUpToAbout1920By1200Pixels) {
    EXPECT_TRUE(fillsOnDrawingThread(1024 * 768));
    EXPECT_TRUE(fillsOnDrawingThread(2 * 1920 * 600));  // two monitors of one process
    EXPECT_TRUE(fillsOnDrawingThread(1920 * 1200));
    EXPECT_FALSE(fillsOnDrawingThread(1920 * 1200 + 1));
    EXPECT_FALSE(fillsOnDrawingThread(std::int64_t{3840} * 2160));
}

// The variable reaches Mesa only through the environment; a user's own
// setting always wins.
TEST(SoftwareGlThreadsTest, SetsLpNumThreadsOnlyWhenTheUserHasNot) {
    const char* saved = std::getenv("LP_NUM_THREADS");
    const std::string previous = saved ? saved : "";

    unsetenv("LP_NUM_THREADS");
    chooseSoftwareGlThreads(std::int64_t{3840} * 2160);
    EXPECT_EQ(std::getenv("LP_NUM_THREADS"), nullptr);
    chooseSoftwareGlThreads(1024 * 768);
    ASSERT_NE(std::getenv("LP_NUM_THREADS"), nullptr);
    EXPECT_STREQ(std::getenv("LP_NUM_THREADS"), "0");

    setenv("LP_NUM_THREADS", "3", 1);
    chooseSoftwareGlThreads(1024 * 768);
    EXPECT_STREQ(std::getenv("LP_NUM_THREADS"), "3");

    if (saved) setenv("LP_NUM_THREADS", previous.c_str(), 1);
    else unsetenv("LP_NUM_THREADS");
}

}  // namespace
}  // namespace tamaruka
