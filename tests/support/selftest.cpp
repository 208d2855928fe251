// Checks of the end-to-end helpers themselves, against the private Xvfb.
#include "tests/support/test_support.h"

#include <X11/keysym.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;
using tamaruka::test::ChildProcess;
using tamaruka::test::XClient;

TEST(XClientTest, FindsMappedAndUnmappedWindowsByTitle) {
    XClient x;
    auto shown = x.createWindow("support shown", 50, 40, true);
    auto hidden = x.createWindow("support hidden", 50, 40, false);
    EXPECT_EQ(x.findWindow("support shown"), shown);
    EXPECT_EQ(x.findWindow("support hidden"), hidden);
    EXPECT_FALSE(x.findWindow("support"));
    EXPECT_TRUE(x.waitForWindow("support shown", 2s).has_value());
    EXPECT_FALSE(x.waitForWindow("support hidden", 100ms).has_value());
    x.destroyWindow(shown);
    EXPECT_TRUE(x.waitForWindowGone("support shown", 2s));
    x.destroyWindow(hidden);
}

TEST(XClientTest, ScreenIs1024By768AndScreenshotsReadBackColours) {
    XClient x;
    EXPECT_EQ(x.screenWidth(), 1024);
    EXPECT_EQ(x.screenHeight(), 768);
    auto window = x.createWindow("support red", 64, 32, true, 0xff0000);
    ASSERT_TRUE(x.waitForWindow("support red", 2s));
    tamaruka::test::Rect where = x.geometry(window);
    EXPECT_EQ(where.width, 64);
    EXPECT_EQ(where.height, 32);
    auto shot = x.capture(where);
    ASSERT_EQ(shot.width, 64);
    auto p = shot.at(10, 10);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(shot.countBrighterThan(200), 64u * 32u);
    EXPECT_EQ(shot.distinctColours(), 1u);
    x.destroyWindow(window);
}

TEST(XClientTest, PointerMovesThroughXTest) {
    XClient x;
    x.movePointer(321, 123);
    EXPECT_EQ(x.pointerPosition(), std::make_pair(321, 123));
}

TEST(ChildProcessTest, ReportsExitCodesSignalsAndOutput) {
    ChildProcess ok("/bin/sh", {"-c", "echo hello; exit 3"});
    EXPECT_EQ(ok.waitExit(5s), 3);
    EXPECT_EQ(ok.outputText(), "hello\n");
    ChildProcess sleeper("/bin/sleep", {"30"});
    EXPECT_FALSE(sleeper.waitExit(50ms).has_value());
    sleeper.sendSignal(SIGTERM);
    EXPECT_EQ(sleeper.waitExit(5s), 128 + SIGTERM);
}

TEST(TempDirTest, FoldersAreRemovedWhenTheProcessEnds) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string folder = tamaruka::test::makeTempDir("tamaruka-support");
        std::FILE* file = std::fopen((folder + "/content").c_str(), "w");
        if (file) std::fclose(file);
        if (write(fds[1], folder.data(), folder.size()) < 0) _exit(2);
        std::exit(0);  // runs the exit handlers, as a test binary's end does
    }
    close(fds[1]);
    char buffer[512] = {};
    const ssize_t length = read(fds[0], buffer, sizeof buffer - 1);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_GT(length, 0);
    EXPECT_TRUE(std::string(buffer).find("/tamaruka-support-") != std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(buffer));
}
