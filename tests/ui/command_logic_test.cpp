#include "frontend/ui/command_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamaruka {
namespace {

// Records what the behaviour asks of the window, one line a call.
class RecordingView : public CommandView {
public:
    std::vector<std::string> calls;
    void drawFace(Face face, bool hoverShade) override
    {
        calls.push_back("face " + std::string(faceName(face)) + (hoverShade ? " hover" : ""));
    }
    void setCaptionEnabled(bool enabled) override { calls.push_back(enabled ? "caption on" : "caption off"); }
    void setCaptionText(const std::string& text) override { calls.push_back("text " + text); }
    void setCaptionFont(const std::string& font) override { calls.push_back("font " + font); }
    void setCaptionColour(std::uint32_t rgb) override { calls.push_back("colour " + std::to_string(rgb)); }
    void setFaceShown(bool opaque) override { calls.push_back(opaque ? "opaque" : "transparent"); }
    void startHoverTimer(int intervalMs) override { calls.push_back("timer " + std::to_string(intervalMs)); }
    void propertyChanged(std::string_view name) override { calls.push_back("changed " + std::string(name)); }
    void raiseClick() override { calls.push_back("click"); }

    int clicks() const { return static_cast<int>(std::count(calls.begin(), calls.end(), "click")); }
    std::string lastFace() const
    {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->rfind("face ", 0) == 0)
                return *it;
        return "";
    }
};

// A button loaded from its saved properties, initialized, with a clean record.
class CommandLogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        button.readProperties({{"Caption", "設定"}}, "ambient");
        button.initialize();
        view.calls.clear();
    }
    RecordingView view;
    CommandLogic button{view};
};

TEST_F(CommandLogicTest, InitializeStartsHoverPollingWithoutPainting)
{
    RecordingView v;
    CommandLogic b(v);
    b.readProperties({}, "ambient");
    v.calls.clear();
    b.initialize();
    EXPECT_EQ(b.buttonState(), CommandLogic::idle);
    EXPECT_EQ(v.calls, std::vector<std::string>{"timer 100"});
}

TEST_F(CommandLogicTest, HoverShowsHighLightAndLeavingShowsNormal)
{
    button.pointerMoved();
    EXPECT_EQ(button.buttonState(), CommandLogic::hovered);
    EXPECT_EQ(view.lastFace(), "face HighLight hover");
    button.hoverTick(true);
    EXPECT_EQ(button.buttonState(), CommandLogic::hovered);
    button.hoverTick(false);
    EXPECT_EQ(button.buttonState(), CommandLogic::idle);
    EXPECT_EQ(view.lastFace(), "face Normal");
    EXPECT_EQ(view.clicks(), 0);
}

TEST_F(CommandLogicTest, PressAndReleaseOverButtonRaisesOneClick)
{
    button.pointerMoved();
    button.focusArrived();  // pressing gives focus while hovered
    EXPECT_EQ(button.buttonState(), CommandLogic::hoveredFocused);
    EXPECT_EQ(view.lastFace(), "face Pressed hover");
    button.buttonDown(PointerButton::Left);
    EXPECT_TRUE(button.leftDown());
    EXPECT_EQ(view.lastFace(), "face Pressed hover");
    button.buttonUp(PointerButton::Left);
    EXPECT_FALSE(button.leftDown());
    EXPECT_EQ(view.lastFace(), "face HighLightSelect hover");
    EXPECT_EQ(view.clicks(), 1);
}

TEST_F(CommandLogicTest, DragOffPastATickThenReleaseShowsSelectedWithoutClick)
{
    button.pointerMoved();
    button.focusArrived();
    button.buttonDown(PointerButton::Left);
    button.hoverTick(false);
    EXPECT_EQ(button.buttonState(), CommandLogic::focused);
    EXPECT_EQ(view.lastFace(), "face Selected");
    button.buttonUp(PointerButton::Left);
    EXPECT_EQ(view.clicks(), 0);
    EXPECT_EQ(view.lastFace(), "face Selected");
}

TEST_F(CommandLogicTest, ReleaseWithinTheSameTickStillClicks)
{
    button.pointerMoved();
    button.focusArrived();
    button.buttonDown(PointerButton::Left);
    button.buttonUp(PointerButton::Left);  // off the button, but no tick has run
    EXPECT_EQ(view.clicks(), 1);
}

TEST_F(CommandLogicTest, ComingBackWhileHeldRaisesNoClickAndNextMoveHighlights)
{
    button.pointerMoved();
    button.focusArrived();
    button.buttonDown(PointerButton::Left);
    button.hoverTick(false);
    button.pointerMoved();  // back over it, still held
    EXPECT_EQ(button.buttonState(), CommandLogic::focused);
    button.buttonUp(PointerButton::Left);
    EXPECT_EQ(view.clicks(), 0);
    button.pointerMoved();
    EXPECT_EQ(button.buttonState(), CommandLogic::hoveredFocused);
    EXPECT_EQ(view.lastFace(), "face HighLightSelect");  // shade kept from Selected
}

TEST_F(CommandLogicTest, OtherButtonsClickOnReleaseButNeverPress)
{
    button.pointerMoved();
    view.calls.clear();
    button.buttonDown(PointerButton::Right);
    EXPECT_FALSE(button.leftDown());
    EXPECT_TRUE(view.calls.empty());
    button.buttonUp(PointerButton::Right);
    EXPECT_EQ(view.calls, std::vector<std::string>{"click"});
    button.buttonUp(PointerButton::Middle);
    EXPECT_EQ(view.clicks(), 2);
}

TEST_F(CommandLogicTest, DisabledButtonShowsDisableIgnoresEverythingAndRecovers)
{
    button.setEnabled(false);
    EXPECT_EQ(view.lastFace(), "face Disable");
    EXPECT_EQ(view.calls.back(), "caption off");
    view.calls.clear();
    button.pointerMoved();
    button.focusArrived();
    button.buttonDown(PointerButton::Left);
    button.buttonUp(PointerButton::Left);
    button.hoverTick(false);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(button.buttonState(), CommandLogic::idle);
    button.setEnabled(true);
    EXPECT_EQ(view.lastFace(), "face Normal");
    EXPECT_EQ(view.calls.back(), "caption on");
}

TEST_F(CommandLogicTest, FocusLooksFollowThePointer)
{
    button.focusArrived();
    EXPECT_EQ(button.buttonState(), CommandLogic::focused);
    EXPECT_EQ(view.lastFace(), "face Selected");
    button.focusLeft();
    EXPECT_EQ(view.lastFace(), "face Normal");
    button.pointerMoved();
    button.focusArrived();
    EXPECT_EQ(view.lastFace(), "face Pressed hover");
    button.focusLeft();  // even with the pointer over it
    EXPECT_EQ(button.buttonState(), CommandLogic::idle);
    EXPECT_EQ(view.lastFace(), "face Normal");
}

TEST(CommandLogicBeforeInitialize, NoHoverLookButFocusAndReleaseWork)
{
    RecordingView view;
    CommandLogic button(view);
    button.readProperties({}, "ambient");
    view.calls.clear();
    button.pointerMoved();
    EXPECT_EQ(button.buttonState(), CommandLogic::beforeInitialize);
    EXPECT_TRUE(view.calls.empty());
    button.buttonUp(PointerButton::Left);
    EXPECT_EQ(view.clicks(), 1);
    button.focusArrived();
    EXPECT_EQ(button.buttonState(), CommandLogic::focused);
}

TEST(CommandProperties, LoadDefaultsAndOrder)
{
    RecordingView view;
    CommandLogic button(view);
    button.readProperties({}, "Ambient,9.75");
    EXPECT_EQ(button.caption(), "Command1");
    EXPECT_EQ(button.font(), "Ambient,9.75");
    EXPECT_TRUE(button.enabled());
    EXPECT_EQ(button.firstRun(), 1);
    EXPECT_EQ(button.readVisible(), 255);
    EXPECT_EQ(button.readFontColour(), 0u);
    const std::vector<std::string> firstCalls(view.calls.begin(), view.calls.begin() + 4);
    EXPECT_EQ(firstCalls, (std::vector<std::string>{"changed Enabled", "face Normal", "caption on", "text Command1"}));
}

TEST(CommandProperties, CommandCaptionIsNotStoredAndLoadsBackAsCommand1)
{
    RecordingView view;
    CommandLogic button(view);
    button.readProperties({}, "f");
    button.setCaption("Command");
    PropertyBag bag{{"Caption", "old"}};
    button.writeProperties(bag, "f");
    EXPECT_TRUE(bag.empty());
    CommandLogic again(view);
    again.readProperties(bag, "f");
    EXPECT_EQ(again.caption(), "Command1");
}

TEST(CommandProperties, NonDefaultValuesRoundTrip)
{
    RecordingView view;
    CommandLogic button(view);
    button.readProperties({}, "ambient");
    button.setCaption("設定");
    button.setFont("other");
    button.setFontColour(0xFF0000);
    button.setVisible(0);
    button.setEnabled(false);
    PropertyBag bag;
    button.writeProperties(bag, "ambient");
    EXPECT_EQ(bag, (PropertyBag{{"Caption", "設定"}, {"Enabled", "0"}, {"Font", "other"},
                                {"FontColour", "16711680"}, {"Visible", "0"}}));
    CommandLogic again(view);
    again.readProperties(bag, "ambient");
    EXPECT_FALSE(again.enabled());
    EXPECT_EQ(again.readVisible(), 0);
    again.setVisible(1);
    EXPECT_EQ(again.readVisible(), 255);
    EXPECT_EQ(again.readFontColour(), 0xFF0000u);
    EXPECT_EQ(again.font(), "other");
}

TEST(CommandProperties, FreshButtonBecomesEnabledWhenRead)
{
    RecordingView view;
    CommandLogic button(view);  // never loaded: FirstRun 0
    EXPECT_FALSE(button.enabled());
    EXPECT_TRUE(button.readEnabled());
    EXPECT_EQ(button.firstRun(), 1);
    EXPECT_EQ(view.lastFace(), "face Normal");
}

}  // namespace
}  // namespace tamaruka
