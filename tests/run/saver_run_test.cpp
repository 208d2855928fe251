// The saver run's logic: load handler, timers, mouse watch and end sequence,
// against a recording fake of the platform and the music.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/sprite_path.h"
#include "frontend/frontend_state.h"
#include "frontend/run/saver_run.h"
#include "common/error_rule.h"
#include "tests/music/recording_music_calls.h"

namespace tamaruka {
namespace {

using Log = std::vector<std::string>;

const char* timerName(RunTimer timer) {
    switch (timer) {
    case RunTimer::Timer1: return "Timer1";
    case RunTimer::Timer2: return "Timer2";
    case RunTimer::Timer3: return "Timer3";
    }
    return "?";
}

class RecordingRun : public RunPlatform, public test::RecordingMusicCalls {
public:
    std::optional<PointerPosition> pointer = PointerPosition{500, 400};
    bool saveFails = false;
    bool startFails = false;
    int displayCounter = -1;
    Bitmap savedPicture;

    void saveBitmapFile(const std::string& path, const Bitmap& picture) override {
        if (saveFails) throw StepError("read-only folder");
        savedPicture = picture;
        log.push_back("save " + path);
    }
    void startProgram(const std::string& path) override {
        if (startFails) throw StepError("Permission denied");
        log.push_back("start " + path);
    }
    void stopProgram() override { log.push_back("stop renderer"); }
    void messageBox(const std::string& text) override { log.push_back("box " + text); }
    std::optional<PointerPosition> cursorPosition() override { return pointer; }
    int showCursor(bool show) override {
        displayCounter += show ? 1 : -1;
        log.push_back(std::string("ShowCursor ") + (show ? "true" : "false"));
        return displayCounter;
    }
    void setTimerEnabled(RunTimer timer, bool enabled) override {
        log.push_back(std::string(timerName(timer)) + (enabled ? " on" : " off"));
    }
    void endProgram() override { log.push_back("end"); }
};

class SaverRunTest : public ::testing::Test {
protected:
    SaverRunTest() {
        state.programFolder = "/opt/tamaruka";
        state.modeLetter = "S";
        state.argumentText = "/S";
        state.cursorCount = -1;
    }
    void music(std::int16_t kind, const std::string& file = "") {
        state.settings.bgmKind = kind;
        state.settings.bgmFile = file;
    }
    Log loadLog() {
        run.load();
        Log log = fake.log;
        fake.log.clear();
        return log;
    }
    void movePointerTo(int x, int y) {
        fake.pointer = PointerPosition{x, y};
        run.timer3Tick();
    }

    FrontEndState state;
    RecordingRun fake;
    SaverRun run{state, fake, fake};
    const std::string sprite = "save " + spriteFilePath();
    const std::string renderer = "start /opt/tamaruka/Tamaruka.data";
};

TEST_F(SaverRunTest, TimersStartWithOnlyTheMouseWatchOn) {
    EXPECT_FALSE(run.timerEnabled(RunTimer::Timer1));
    EXPECT_FALSE(run.timerEnabled(RunTimer::Timer2));
    EXPECT_TRUE(run.timerEnabled(RunTimer::Timer3));
    EXPECT_EQ(SaverRun::Timer1Interval, 1000);
    EXPECT_EQ(SaverRun::Timer2Interval, 200);
    EXPECT_EQ(SaverRun::Timer3Interval, 50);
}

TEST_F(SaverRunTest, LoadWritesSpriteStartsRendererPlaysMusicThenNotesThePointer) {
    music(2, "/music/Song.Mp3");
    fake.pointer = PointerPosition{321, 123};
    EXPECT_EQ(loadLog(), (Log{sprite, renderer, "Mp3Open", "Timer1 on"}));
    EXPECT_EQ(run.rendererPath(), "/opt/tamaruka/Tamaruka.data");
    EXPECT_EQ(state.startCursorX, 321);
    EXPECT_EQ(state.startCursorY, 123);
    EXPECT_EQ(fake.savedPicture.width, 32);
    EXPECT_EQ(fake.savedPicture.height, 32);
}

TEST_F(SaverRunTest, FailedStepsAreSkippedAndTheRunGoesOn) {
    music(1);
    fake.saveFails = true;
    EXPECT_EQ(loadLog(), (Log{renderer, "CdOpen", "Timer2 on"}));
    EXPECT_EQ(state.startCursorX, 500);
}

// A renderer that cannot start, or ends with a failure, leaves only a hidden
// pointer: the run shows the pointer, says why and ends; music never starts.
TEST_F(SaverRunTest, RendererThatCannotStartIsReportedAndEndsTheRun) {
    music(2, "/m/a.wav");
    fake.startFails = true;
    EXPECT_EQ(loadLog(), (Log{sprite, "Timer3 off", "WavStop", "ShowCursor true",
                              "box Tamaruka.dataを起動できません！\nPermission denied", "end"}));
    EXPECT_EQ(state.cursorCount, 0);
}

TEST_F(SaverRunTest, RendererEndIsReportedOnlyWhenItFailed) {
    music(2, "/m/a.mp3");
    run.load();
    fake.log.clear();
    run.programEnded(ProgramEnd{true, 0, 0});  // the user moved the mouse: the watch goes on
    EXPECT_TRUE(fake.log.empty());
    EXPECT_TRUE(run.timerEnabled(RunTimer::Timer3));

    run.programEnded(ProgramEnd{true, 1, 0});
    EXPECT_EQ(fake.log, (Log{"Timer3 off", "Mp3Close", "ShowCursor true",
                             "box Tamaruka.dataが異常終了しました！\n終了コード 1", "end"}));

    RecordingRun killedFake;
    SaverRun killedRun(state, killedFake, killedFake);
    killedRun.programEnded(ProgramEnd{false, 0, 9});
    EXPECT_EQ(killedFake.log.at(killedFake.log.size() - 2), "box Tamaruka.dataが異常終了しました！\nシグナル 9");
}

TEST_F(SaverRunTest, TerminationEndsTheRendererBeforeTheEndSequence) {
    music(1);
    run.load();
    fake.log.clear();
    run.terminate();
    EXPECT_EQ(fake.log, (Log{"stop renderer", "Timer2 off", "CdClose", "ShowCursor true", "end"}));
}

TEST_F(SaverRunTest, MusicKindsChooseTheirOperationsByTheLastThreeCharacters) {
    struct Case {
        std::int16_t kind;
        std::string file;
        Log music;
    };
    const std::vector<Case> cases = {
        {0, "/m/a.mp3", {}},
        {1, "", {"CdOpen", "Timer2 on"}},
        {2, "/m/a.wav", {"WavPlay"}},
        {2, "/m/a.WAV", {"WavPlay"}},
        {2, "/m/a.mP3", {"Mp3Open", "Timer1 on"}},
        {2, "/m/songmp3", {"Mp3Open", "Timer1 on"}},  // no dot needed
        {2, "/m/x.mid", {}},
        {3, "/m/a.wav", {}},
    };
    for (const Case& c : cases) {
        FrontEndState caseState = state;
        caseState.settings.bgmKind = c.kind;
        caseState.settings.bgmFile = c.file;
        RecordingRun caseFake;
        SaverRun caseRun(caseState, caseFake, caseFake);
        caseRun.load();
        Log expected{sprite, renderer};
        expected.insert(expected.end(), c.music.begin(), c.music.end());
        EXPECT_EQ(caseFake.log, expected) << "kind " << c.kind << " file " << c.file;
    }
}

TEST_F(SaverRunTest, UnreadablePointerGivesReferenceZeroAndOverflowKeepsTheOldOne) {
    state.startCursorX = 7;
    state.startCursorY = 8;
    fake.pointer.reset();
    run.load();
    EXPECT_EQ(state.startCursorX, 0);
    EXPECT_EQ(state.startCursorY, 0);

    FrontEndState wide = state;
    wide.startCursorX = 7;
    wide.startCursorY = 8;
    RecordingRun wideFake;
    wideFake.pointer = PointerPosition{40000, 10};  // beyond 16 bits: the step is abandoned
    SaverRun wideRun(wide, wideFake, wideFake);
    wideRun.load();
    EXPECT_EQ(wide.startCursorX, 7);
    EXPECT_EQ(wide.startCursorY, 8);
}

TEST_F(SaverRunTest, StraightMovesNeverEndTheRun) {
    run.load();
    fake.log.clear();
    movePointerTo(700, 400);  // 200 right
    movePointerTo(500, 600);  // 200 down
    movePointerTo(0, 400);
    movePointerTo(500, 0);
    movePointerTo(531, 430);  // 31 across, exactly 30 down
    movePointerTo(530, 431);  // exactly 30 across, 31 down
    EXPECT_TRUE(fake.log.empty());
    EXPECT_TRUE(run.timerEnabled(RunTimer::Timer3));
}

TEST_F(SaverRunTest, DiagonalMoveBeyondThirtyOnBothAxesEndsTheRun) {
    run.load();
    fake.log.clear();
    movePointerTo(469, 369);
    EXPECT_EQ(fake.log, (Log{"Timer3 off", "ShowCursor true", "end"}));
    EXPECT_FALSE(run.timerEnabled(RunTimer::Timer3));
}

TEST_F(SaverRunTest, ReferencePointIsNeverRenewedSoDriftCounts) {
    run.load();
    fake.log.clear();
    for (int step = 1; step <= 3; ++step) movePointerTo(500 + 10 * step, 400 + 10 * step);
    EXPECT_TRUE(fake.log.empty());  // 30, 30: not yet
    movePointerTo(540, 440);
    EXPECT_EQ(fake.log.back(), "end");
}

TEST_F(SaverRunTest, MouseWatchUsesThePointerOrZeroWhenItCannotBeRead) {
    fake.pointer = PointerPosition{100, 100};
    run.load();
    fake.log.clear();
    fake.pointer.reset();  // reads as (0, 0): 100 away on both axes
    run.timer3Tick();
    EXPECT_EQ(fake.log.back(), "end");
}

TEST_F(SaverRunTest, CdWatchTimerFollowsCdWatching) {
    music(1);
    run.load();
    fake.log.clear();
    run.timer2Tick();
    EXPECT_EQ(fake.log, (Log{"CdWatch", "Timer2 on"}));
    fake.cdWatching = false;
    fake.log.clear();
    run.timer2Tick();
    EXPECT_EQ(fake.log, (Log{"CdWatch", "Timer2 off"}));
    EXPECT_FALSE(run.timerEnabled(RunTimer::Timer2));

    fake.log.clear();
    run.end();  // the watch has stopped: the CD is neither stopped nor closed
    EXPECT_EQ(fake.log, (Log{"ShowCursor true", "end"}));
}

TEST_F(SaverRunTest, EndClosesTheCdOnlyWhileItIsWatched) {
    music(1);
    run.load();
    fake.log.clear();
    run.end();
    EXPECT_EQ(fake.log, (Log{"Timer2 off", "CdClose", "ShowCursor true", "end"}));
}

TEST_F(SaverRunTest, Mp3TimerTicksLoopTheFileAndEndClosesIt) {
    music(2, "/m/a.mp3");
    run.load();
    fake.log.clear();
    run.timer1Tick();
    run.end();
    EXPECT_EQ(fake.log, (Log{"Mp3Loop", "Mp3Close", "ShowCursor true", "end"}));
}

TEST_F(SaverRunTest, EndStopsWavAndStopsNothingForOtherEndings) {
    music(2, "/m/a.Wav");
    run.load();
    fake.log.clear();
    run.end();
    EXPECT_EQ(fake.log, (Log{"WavStop", "ShowCursor true", "end"}));

    FrontEndState midState = state;
    midState.settings.bgmFile = "/m/x.mid";
    midState.cursorCount = -1;
    RecordingRun midFake;
    SaverRun midRun(midState, midFake, midFake);
    midRun.load();
    midFake.log.clear();
    midRun.end();
    EXPECT_EQ(midFake.log, (Log{"ShowCursor true", "end"}));
}

TEST_F(SaverRunTest, CursorCounterIsTheShowFlagInRunModeOnly) {
    // The usual -1 shows the pointer again and the new count is kept.
    run.end();
    EXPECT_EQ(state.cursorCount, 0);

    // A counter of 0 is a false flag: the pointer is hidden once more.
    FrontEndState zero = state;
    zero.cursorCount = 0;
    RecordingRun zeroFake;
    zeroFake.displayCounter = 0;
    SaverRun zeroRun(zero, zeroFake, zeroFake);
    zeroRun.end();
    EXPECT_EQ(zeroFake.log, (Log{"ShowCursor false", "end"}));
    EXPECT_EQ(zero.cursorCount, -1);

    // An empty argument text never hid the pointer and leaves it alone.
    FrontEndState empty = state;
    empty.modeLetter = "";
    empty.argumentText = "";
    RecordingRun emptyFake;
    SaverRun emptyRun(empty, emptyFake, emptyFake);
    emptyRun.load();
    emptyFake.pointer = PointerPosition{0, 0};
    emptyRun.timer3Tick();
    EXPECT_EQ(emptyFake.log, (Log{sprite, renderer, "Timer3 off", "end"}));
}

TEST_F(SaverRunTest, EndSequenceRunsOnce) {
    music(2, "/m/a.wav");
    run.load();
    fake.log.clear();
    run.end();
    run.end();  // its steps run once; a request during its message box ends at once
    EXPECT_EQ(fake.log, (Log{"WavStop", "ShowCursor true", "end", "end"}));
}

}  // namespace
}  // namespace tamaruka
