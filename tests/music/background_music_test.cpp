// The background music's rules driven by a clock: when the CD watch and the
// MP3 repeat check run, and what each kind of setting starts and stops.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "music/background_music.h"
#include "tests/music/recording_music_calls.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using Clock = ClockedBackgroundMusic::Clock;
using Log = std::vector<std::string>;

using RecordingMusic = test::RecordingMusicCalls;

class ClockedMusicTest : public ::testing::Test {
protected:
    void startWith(std::int16_t kind, const std::string& file = "") {
        settings = MusicSettings{kind, 0, file};
        music.start(at(0ms));
    }
    static Clock::time_point at(std::chrono::milliseconds since) { return Clock::time_point{} + 1h + since; }
    // Ticks at each time and returns what they did.
    Log ticksAt(std::initializer_list<std::chrono::milliseconds> times) {
        fake.log.clear();
        for (auto time : times) music.tick(at(time));
        return fake.log;
    }

    MusicSettings settings;
    RecordingMusic fake;
    ClockedBackgroundMusic music{settings, fake};
};

TEST_F(ClockedMusicTest, CdIsWatchedEvery200MsUntilTheWatchEndsAndThenLeftAlone) {
    startWith(1);
    EXPECT_EQ(fake.log, (Log{"CdOpen"}));
    EXPECT_EQ(ticksAt({0ms, 199ms}), Log{});
    EXPECT_EQ(ticksAt({200ms, 201ms, 399ms, 400ms}), (Log{"CdWatch", "CdWatch"}));
    fake.cdWatching = false;  // the disc went away
    EXPECT_EQ(ticksAt({600ms}), (Log{"CdWatch"}));
    EXPECT_FALSE(music.timerEnabled(MusicTimer::CdWatch));
    EXPECT_EQ(ticksAt({800ms, 5000ms}), Log{});
    fake.log.clear();
    music.stop();
    EXPECT_EQ(fake.log, Log{});  // neither stopped nor closed
}

TEST_F(ClockedMusicTest, Mp3IsCheckedEverySecondAndClosedOnceAtStop) {
    startWith(2, "/m/Song.MP3");
    EXPECT_EQ(fake.log, (Log{"Mp3Open"}));
    EXPECT_TRUE(music.timerEnabled(MusicTimer::Mp3Repeat));
    EXPECT_EQ(ticksAt({999ms, 1000ms, 1999ms, 2000ms}), (Log{"Mp3Loop", "Mp3Loop"}));
    fake.log.clear();
    music.stop();
    music.stop();
    EXPECT_EQ(fake.log, (Log{"Mp3Close"}));
}

TEST_F(ClockedMusicTest, FrameTicksKeepTheRhythmWithoutDrift) {
    startWith(1);
    fake.log.clear();
    // Frames every 15 ms for ten seconds: most 200 ms marks fall between two frames.
    for (int frame = 1; frame <= 667; ++frame) music.tick(at(std::chrono::milliseconds(frame * 15)));
    // 200, 400, ... 10000 ms: a frame's lateness is not added to the next interval.
    EXPECT_EQ(fake.log.size(), 50u);
}

TEST_F(ClockedMusicTest, APausedProcessRunsAMissedTimerOnceThenOneIntervalLater) {
    startWith(1);
    EXPECT_EQ(ticksAt({5050ms}), (Log{"CdWatch"}));  // not 25 watches in a row
    EXPECT_EQ(ticksAt({5249ms}), Log{});
    EXPECT_EQ(ticksAt({5250ms}), (Log{"CdWatch"}));
}

TEST_F(ClockedMusicTest, WavLoopsByItselfAndOtherFilesPlayNothing) {
    startWith(2, "/m/a.wav");
    EXPECT_EQ(fake.log, (Log{"WavPlay"}));
    EXPECT_EQ(ticksAt({1000ms, 2000ms}), Log{});
    music.stop();
    EXPECT_EQ(fake.log, (Log{"WavStop"}));
}

TEST(BackgroundMusicTest, PlaysAnythingOnlyForACdOrAWavOrMp3File) {
    struct Case {
        std::int16_t kind;
        std::string file;
        bool plays;
    };
    const std::vector<Case> cases = {
        {0, "/m/a.wav", false}, {1, "", true},           {2, "/m/a.Wav", true},   {2, "/m/songmp3", true},
        {2, "/m/a.mid", false}, {2, "", false},          {3, "/m/a.mp3", false},  {-1, "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BackgroundMusic::playsAnything(MusicSettings{c.kind, 0, c.file}), c.plays)
            << "kind " << c.kind << " file " << c.file;
}

}  // namespace
}  // namespace tamaruka
