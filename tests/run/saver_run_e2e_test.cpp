// Tamaruka.scr /S end to end on a private Xvfb, with the real renderer.
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/saver_install.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

constexpr int StartX = 512;
constexpr int StartY = 384;

class SaverRunE2E : public ::testing::Test {
protected:
    void SetUp() override { x.movePointer(StartX, StartY); }
    void TearDown() override {
        install.killRenderers();
        // The next test must not mistake this renderer's window for its own.
        EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
    }

    // Starts the saver and waits until the renderer draws fireworks, by then
    // the front-end has noted the pointer.
    std::unique_ptr<ChildProcess> startSaver(const std::vector<std::string>& args = {"/S"}) {
        auto saver = install.start(args);
        // This installation's renderer runs: the load handler is past its start.
        EXPECT_TRUE(waitUntil([&] { return install.rendererRunning(); }, 20s)) << saver->outputText();
        const auto renderer = x.waitForWindow("--Fireworks--", 20s);
        EXPECT_TRUE(renderer.has_value()) << saver->outputText();
        if (renderer) {
            EXPECT_TRUE(waitUntil([&] { return x.capture(x.geometry(*renderer)).countBrighterThan(60) > 20; }, 20s))
                << "the renderer draws nothing";
        }
        return saver;
    }

    XClient x;
    SaverInstall install;
};

TEST_F(SaverRunE2E, RunWritesSpriteStartsRendererAndMarksItself) {
    auto saver = startSaver();
    const auto marker = x.findWindow("Kirabo_Main");
    ASSERT_TRUE(marker.has_value());
    EXPECT_FALSE(x.isMapped(*marker));

    std::ifstream sprite(install.spriteFile(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(sprite)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[18]), 32);  // width
    EXPECT_EQ(static_cast<unsigned char>(bytes[22]), 32);  // height, bottom-up
    EXPECT_TRUE(saver->running());
}

TEST_F(SaverRunE2E, SecondStartsEndAtOnce) {
    auto saver = startSaver();
    for (const char* mode : {"/S", "/C", "/p 1234"}) {
        auto second = install.start({mode});
        EXPECT_EQ(second->waitExit(10s), 0) << mode;
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(install.rendererProcesses().size(), 1u);
    EXPECT_EQ(x.findWindows("--Fireworks--").size(), 1u);
    EXPECT_TRUE(saver->running());
}

TEST_F(SaverRunE2E, StraightMovesDoNotEndTheFrontEnd) {
    auto saver = startSaver();
    x.movePointer(StartX + 200, StartY);
    std::this_thread::sleep_for(200ms);
    x.movePointer(StartX, StartY);
    std::this_thread::sleep_for(200ms);
    x.movePointer(StartX, StartY + 200);
    std::this_thread::sleep_for(200ms);
    x.movePointer(StartX + 30, StartY - 200);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(saver->running());
}

TEST_F(SaverRunE2E, DiagonalMoveEndsBothAndTheSpriteStays) {
    auto saver = startSaver();
    x.movePointer(StartX + 31, StartY + 31);
    EXPECT_EQ(saver->waitExit(10s), 0);
    wiggleUntilRendererEnds(x, install);
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 10s));
    EXPECT_TRUE(x.waitForWindowGone("Kirabo_Main", 5s));
    EXPECT_TRUE(std::filesystem::exists(install.spriteFile()));
}

TEST_F(SaverRunE2E, EscapeEndsTheRendererWhileTheFrontEndWatches) {
    auto saver = startSaver();
    x.pressKey(XK_Escape);
    EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 10s));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(saver->running());
    x.movePointer(StartX - 40, StartY - 40);
    EXPECT_EQ(saver->waitExit(10s), 0);
}

TEST_F(SaverRunE2E, EmptyArgumentTextRunsTheSaver) {
    auto saver = startSaver({});
    EXPECT_TRUE(x.findWindow("Kirabo_Main").has_value());
    x.movePointer(StartX + 50, StartY - 50);
    EXPECT_EQ(saver->waitExit(10s), 0);
}

TEST_F(SaverRunE2E, TerminationSignalRunsTheEndSequence) {
    auto saver = startSaver();
    saver->sendSignal(SIGTERM);
    // The end sequence finishes with the immediate end and exit code 0; a
    // default SIGTERM death would report 128 + 15.
    EXPECT_EQ(saver->waitExit(10s), 0);
}

}  // namespace
}  // namespace tamaruka::test
