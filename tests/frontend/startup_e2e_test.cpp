// Tamaruka.scr's start-up on a private Xvfb: the single-instance test, the
// renderer check and its message box, the silent switches, no display.
#include <filesystem>
#include <thread>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <csignal>

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "tests/support/window_text.h"
#include "frontend/platform/x11_display.h"
#include "frontend/platform/x11_pointer.h"
#include "frontend/platform/x11_window_lookup.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::XClient;

// A copy of Tamaruka.scr in a folder of its own, with or without a stand-in
// renderer file beside it (only its existence is checked here).
struct InstalledCopy {
    std::string folder = test::makeTempDir("tamaruka-frontend");
    std::string program = folder + "/Tamaruka.scr";

    explicit InstalledCopy(bool withRenderer)
    {
        test::copyFrontEnd(folder);
        if (withRenderer) std::ofstream(folder + "/Tamaruka.data") << "renderer";
    }
};

std::vector<std::string> splitArguments(const std::string& text)
{
    std::vector<std::string> arguments;
    std::istringstream words(text);
    for (std::string word; words >> word;) arguments.push_back(word);
    return arguments;
}

const std::string rendererMissing = "Tamaruka.dataが同じﾌｫﾙﾀﾞに見つかりません！";

TEST(StartupE2E, MissingRendererBoxShowsTheExactTextAndClosesWithEnter)
{
    for (const std::string switches : {"/S", "/C", "/A 1234"}) {
        SCOPED_TRACE(switches);
        InstalledCopy copy(false);
        ChildProcess program(copy.program, splitArguments(switches));
        XClient x;
        const auto box = x.waitForWindow("Tamaruka", 20s);
        ASSERT_TRUE(box.has_value()) << program.outputText();
        // Copying a message box gives its caption, text and buttons.
        const std::optional<std::string> copied = test::copyWindowText(x, *box);
        ASSERT_TRUE(copied.has_value());
        const std::string rule = "---------------------------\n";
        EXPECT_EQ(*copied, rule + "Tamaruka\n" + rule + rendererMissing + "\n" + rule + "OK   \n" + rule);

        x.pressKey(XK_Return);
        EXPECT_EQ(program.waitExit(20s), 0);
        EXPECT_FALSE(x.findWindow("Tamaruka").has_value());
    }
}

TEST(StartupE2E, RunsOnX11WhateverToolkitPlatformTheSessionPrefers)
{
    InstalledCopy copy(false);
    ChildProcess program(copy.program, {"/S"}, {{"QT_QPA_PLATFORM", "wayland"}});
    XClient x;
    const auto box = x.waitForWindow("Tamaruka", 20s);
    ASSERT_TRUE(box.has_value()) << program.outputText();
    const test::Rect area = x.geometry(*box);
    x.movePointer(area.x + area.width / 2, area.y + 5);
    std::optional<int> code;
    test::waitUntil(
        [&] {
            x.pressKey(XK_Return);
            code = program.waitExit(500ms);
            return code.has_value();
        },
        20s);
    EXPECT_EQ(code, 0);
}

TEST(StartupE2E, SecondStartBesideASaverOrDialogEndsAtOnceSilently)
{
    InstalledCopy copy(false);  // without the renderer a start would otherwise show the box
    XClient x;
    for (const char* caption : {"Kirabo_Main", "<Tamaruka>"}) {
        for (const bool mapped : {true, false}) {
            const test::WindowId marker = x.createWindow(caption, 20, 20, mapped);
            for (const std::string switches : {"/S", "/C", "/P 1234", ""}) {
                SCOPED_TRACE(std::string(caption) + (mapped ? " mapped " : " unmapped ") + switches);
                ChildProcess program(copy.program, splitArguments(switches));
                EXPECT_EQ(program.waitExit(20s), 0);
                EXPECT_EQ(program.outputText(), "");
                EXPECT_FALSE(x.findWindow("Tamaruka").has_value());
            }
            x.destroyWindow(marker);
        }
    }
}

// A window manager that wraps its clients twice puts the marker three levels
// below the root.
TEST(StartupE2E, SecondStartBesideAMarkerNestedInFramesEndsAtOnceSilently)
{
    InstalledCopy copy(false);  // a start that missed the marker would show the box
    XClient x;
    for (const char* caption : {"Kirabo_Main", "<Tamaruka>"}) {
        const test::FramedWindow framed = test::createFramedWindow(caption, 2);
        for (const std::string switches : {"/S", "/C"}) {
            SCOPED_TRACE(std::string(caption) + " " + switches);
            ChildProcess program(copy.program, splitArguments(switches));
            EXPECT_EQ(program.waitExit(20s), 0);
            EXPECT_EQ(program.outputText(), "");
            EXPECT_FALSE(x.findWindow("Tamaruka").has_value());
        }
        test::destroyFramedWindow(framed);
    }
}

// Two dialogs asked for at the same moment: exactly one opens. The caption
// look-up alone lets both pass when they start within a few milliseconds.
TEST(StartupE2E, TwoConfigurationsStartedTogetherOpenOneDialog)
{
    InstalledCopy copy(true);
    XClient x;
    for (const auto gap : {0ms, 20ms, 50ms}) {
        SCOPED_TRACE(gap.count());
        ChildProcess first(copy.program, {"/C"});
        std::this_thread::sleep_for(gap);
        ChildProcess second(copy.program, {"/C"});
        ASSERT_TRUE(x.waitForWindow("<Tamaruka>", 20s).has_value());
        // The loser ends by itself, silently; the winner keeps its dialog.
        ASSERT_TRUE(test::waitUntil([&] { return !first.running() || !second.running(); }, 20s));
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(x.findWindows("<Tamaruka>").size(), 1u);
        EXPECT_NE(first.running(), second.running());
        ChildProcess& loser = first.running() ? second : first;
        EXPECT_EQ(loser.waitExit(1s), 0);
        first.sendSignal(SIGKILL);
        second.sendSignal(SIGKILL);
        first.waitExit(5s);
        second.waitExit(5s);
        EXPECT_TRUE(x.waitForWindowGone("<Tamaruka>", 10s));
    }
}

TEST(StartupE2E, OtherSwitchesEndSilentlyAfterTheRendererCheck)
{
    InstalledCopy copy(true);
    XClient x;
    for (const std::string switches : {"/A 1234", "/a", "/X", "S"}) {
        SCOPED_TRACE(switches);
        ChildProcess program(copy.program, splitArguments(switches));
        EXPECT_EQ(program.waitExit(20s), 0);
        EXPECT_EQ(program.outputText(), "");
        EXPECT_FALSE(x.findWindow("Tamaruka").has_value());
    }
}

TEST(StartupE2E, WithoutADisplayItSaysSoAndFails)
{
    InstalledCopy copy(true);
    ChildProcess program(copy.program, {"/S"}, {{"DISPLAY", ":4242"}});
    const auto code = program.waitExit(20s);
    ASSERT_TRUE(code.has_value());
    EXPECT_NE(*code, 0);
    EXPECT_LT(*code, 128);  // an exit, not a crash
    const std::string output = program.outputText();
    EXPECT_NE(output.find("X display"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}

// The X11 services themselves, in this process, against the same server.
class X11ServicesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string reason;
        ASSERT_TRUE(x11::openDisplay(reason)) << reason;
    }
};

TEST_F(X11ServicesTest, FindsTopLevelWindowsMappedOrNot)
{
    XClient x;
    const test::WindowId unmapped = x.createWindow("Kirabo_Main", 10, 10, false);
    const test::WindowId mapped = x.createWindow("<Tamaruka>", 10, 10, true);
    EXPECT_EQ(x11::findTopLevelWindow("Kirabo_Main"), unmapped);
    EXPECT_EQ(x11::findTopLevelWindow("<Tamaruka>"), mapped);
    EXPECT_FALSE(x11::findTopLevelWindow("Kirabo").has_value());  // whole captions only
    x.destroyWindow(unmapped);
    x.destroyWindow(mapped);
    EXPECT_FALSE(x11::findTopLevelWindow("Kirabo_Main").has_value());
}

TEST_F(X11ServicesTest, FindsAWindowInsideAWindowManagersFrames)
{
    for (const int frames : {1, 2, 3}) {
        SCOPED_TRACE(frames);
        const test::FramedWindow framed = test::createFramedWindow("Kirabo_Main", frames);
        ASSERT_NE(framed.client, 0u);
        EXPECT_EQ(x11::findTopLevelWindow("Kirabo_Main"), framed.client);
        test::destroyFramedWindow(framed);
        EXPECT_FALSE(x11::findTopLevelWindow("Kirabo_Main").has_value());
    }
}

TEST_F(X11ServicesTest, CursorPositionIsThePointersOnTheScreen)
{
    XClient x;
    x.movePointer(123, 456);
    const auto position = getCursorPos();
    ASSERT_TRUE(position.has_value());
    EXPECT_EQ(position->x, 123);
    EXPECT_EQ(position->y, 456);
}

}  // namespace
}  // namespace tamaruka
