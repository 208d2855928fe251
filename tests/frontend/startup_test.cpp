#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frontend/frontend_state.h"
#include "frontend/startup.h"
#include "common/error_rule.h"

namespace tamaruka {
namespace {

// Records every platform call in order, as one line each.
class RecordingPlatform : public StartupPlatform {
public:
    std::set<std::string> existingCaptions;
    bool rendererPresent = true;
    bool settingsThrow = false;
    int counterAfterHide = -1;
    std::vector<std::string> calls;

    bool topLevelWindowExists(std::string_view caption) override
    {
        calls.push_back("find " + std::string(caption));
        return existingCaptions.count(std::string(caption)) > 0;
    }
    bool claimHeldElsewhere = false;
    bool claimInstance() override
    {
        calls.push_back("claim");
        return !claimHeldElsewhere;
    }
    void loadSettings(FrontEndState&) override
    {
        calls.push_back("load settings");
        if (settingsThrow) throw StepError("unreadable");
    }
    bool fileExists(const std::string& path) override
    {
        calls.push_back("exists " + path);
        return rendererPresent;
    }
    void messageBox(const std::string& text) override { calls.push_back("box " + text); }
    int showCursor(bool show) override
    {
        calls.push_back(show ? "show cursor" : "hide cursor");
        return counterAfterHide;
    }
    void openPreviewWindow(FrontEndState&, std::int32_t host) override
    {
        calls.push_back("preview " + std::to_string(host));
    }
    void showSettingsDialog(FrontEndState&) override { calls.push_back("dialog"); }
    void createRunWindow(FrontEndState&) override { calls.push_back("run window"); }
};

const std::vector<std::string> lookups = {"find Kirabo_Main", "find <Tamaruka>"};

std::vector<std::string> with(std::vector<std::string> first, const std::vector<std::string>& rest)
{
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

struct Start {
    FrontEndState state;
    RecordingPlatform platform;
    MainOutcome outcome{};

    explicit Start(const std::string& argumentText) { state.argumentText = argumentText; }
    Start& run()
    {
        state.programFolder = "/opt/t";
        outcome = runMain(state, platform);
        return *this;
    }
};

TEST(ModeLetter, IsTheSecondCharacterUpperCased)
{
    EXPECT_EQ(modeLetterOf("/s"), "S");
    EXPECT_EQ(modeLetterOf("-s"), "S");
    EXPECT_EQ(modeLetterOf("xS"), "S");
    EXPECT_EQ(modeLetterOf("/p 1234"), "P");
    EXPECT_EQ(modeLetterOf("/c:1234"), "C");
    EXPECT_EQ(modeLetterOf("S"), "");
    EXPECT_EQ(modeLetterOf(""), "");
    EXPECT_EQ(modeLetterOf("\xC3\xA9s"), "S");  // the first character may be any
}

TEST(Main, RunModeHidesThePointerAndCreatesTheRunWindow)
{
    for (const char* text : {"/S", "/s", "-s"}) {
        Start start(text);
        start.run();
        EXPECT_EQ(start.outcome, MainOutcome::RunEventLoop);
        EXPECT_EQ(start.platform.calls,
                  with(lookups, {"load settings", "exists /opt/t/Tamaruka.data", "claim", "hide cursor",
                                 "run window"}));
        EXPECT_EQ(start.state.modeLetter, "S");
        EXPECT_EQ(start.state.cursorCount, -1);
    }
}

TEST(Main, EmptyArgumentTextRunsWithThePointerVisible)
{
    Start start("");
    start.state.cursorCount = 0;
    start.platform.counterAfterHide = -7;
    start.run();
    EXPECT_EQ(start.outcome, MainOutcome::RunEventLoop);
    EXPECT_EQ(start.platform.calls,
              with(lookups, {"load settings", "exists /opt/t/Tamaruka.data", "claim", "run window"}));
    EXPECT_EQ(start.state.cursorCount, 0);
}

TEST(Main, ConfigurationShowsTheDialogThenEnds)
{
    for (const char* text : {"/C", "/c", "/c:1234"}) {
        Start start(text);
        start.run();
        EXPECT_EQ(start.outcome, MainOutcome::EndProgram);
        EXPECT_EQ(start.platform.calls,
                  with(lookups, {"load settings", "exists /opt/t/Tamaruka.data", "claim", "dialog"}));
    }
}

TEST(Main, PreviewReadsNoSettingsAndNeedsNoRenderer)
{
    for (const auto& [text, host] : std::vector<std::pair<std::string, std::string>>{
             {"/P 1234", "1234"}, {"/p:1234", "1234"}, {"/p1234", "234"}, {"/P", "0"}}) {
        Start start(text);
        start.platform.rendererPresent = false;
        start.run();
        EXPECT_EQ(start.outcome, MainOutcome::RunEventLoop);
        EXPECT_EQ(start.platform.calls, with(lookups, {"preview " + host}));
    }
}

TEST(Main, OtherSwitchesEndSilentlyAfterTheRendererCheck)
{
    for (const char* text : {"/A 1234", "/a", "/X", "S", "/"}) {
        Start start(text);
        start.run();
        EXPECT_EQ(start.outcome, MainOutcome::EndProgram) << text;
        EXPECT_EQ(start.platform.calls,
                  with(lookups, {"load settings", "exists /opt/t/Tamaruka.data"}))
            << text;
    }
}

TEST(Main, MissingRendererIsReportedBeforeAnyMode)
{
    for (const char* text : {"/S", "", "/C", "/A 1234"}) {
        Start start(text);
        start.platform.rendererPresent = false;
        start.run();
        EXPECT_EQ(start.outcome, MainOutcome::EndProgram);
        EXPECT_EQ(start.platform.calls,
                  with(lookups, {"load settings", "exists /opt/t/Tamaruka.data",
                                 "box Tamaruka.dataが同じﾌｫﾙﾀﾞに見つかりません！"}))
            << text;
    }
}

TEST(Main, RunningSaverOrOpenDialogEndsEveryModeSilently)
{
    for (const char* caption : {"Kirabo_Main", "<Tamaruka>"}) {
        for (const char* text : {"/S", "/P 1234", "/C", ""}) {
            Start start(text);
            start.platform.existingCaptions = {caption};
            start.platform.rendererPresent = false;
            start.run();
            EXPECT_EQ(start.outcome, MainOutcome::EndProgram);
            EXPECT_EQ(start.platform.calls, lookups);  // both looked up, nothing else
            EXPECT_EQ(start.state.modeLetter, "");     // the command line is not read
        }
    }
}

// Two programs started together both pass the caption look-up; the one that
// does not get the claim ends before touching the pointer or opening a window.
TEST(Main, WithoutTheInstanceClaimRunAndConfigurationEndSilently)
{
    for (const char* text : {"/S", "", "/C"}) {
        Start start(text);
        start.platform.claimHeldElsewhere = true;
        start.run();
        EXPECT_EQ(start.outcome, MainOutcome::EndProgram) << text;
        EXPECT_EQ(start.platform.calls,
                  with(lookups, {"load settings", "exists /opt/t/Tamaruka.data", "claim"}))
            << text;
    }
}

TEST(Main, AFailedStepIsAbandonedAndTheNextRuns)
{
    Start start("/S");
    start.platform.settingsThrow = true;
    start.run();
    EXPECT_EQ(start.outcome, MainOutcome::RunEventLoop);
    EXPECT_EQ(start.platform.calls,
              with(lookups, {"load settings", "exists /opt/t/Tamaruka.data", "claim", "hide cursor",
                             "run window"}));
}

}  // namespace
}  // namespace tamaruka
