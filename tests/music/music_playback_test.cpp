#include <gtest/gtest.h>

#include "music/music_playback.h"
#include "tests/music/fake_mci_platform.h"

namespace tamaruka {
namespace {

using test::FakeMciPlatform;
using test::FakeWaveSound;
using Commands = std::vector<std::string>;

const Commands kProbes = {"status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode"};

Commands join(Commands a, const Commands& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PlaybackTest : public ::testing::Test {
protected:
    FakeMciPlatform platform;
    MciCommandLayer layer{platform};
    FakeWaveSound wave;

    MusicPlayback make(std::int16_t kind, std::int16_t repeat, std::string file = {}) {
        return MusicPlayback(MusicSettings{kind, repeat, std::move(file)}, layer, wave);
    }
    void disc(const std::string& track, const std::string& mode) {
        platform.answers["status cdaudio current track"] = {0, track};
        platform.answers["status cdaudio number of tracks"] = {0, "4"};
        platform.answers["status cdaudio mode"] = {0, mode};
    }
};

TEST_F(PlaybackTest, CdOpenSendsOpenAndTimeFormat) {
    auto music = make(1, 0);
    music.CdOpen();
    EXPECT_EQ(platform.commands(), (Commands{"open cdaudio", "set cdaudio time format tmsf"}));
    EXPECT_FALSE(platform.sent[0].hadReplyBuffer);
}

TEST_F(PlaybackTest, WholeDiscStartsOnceThenOnlyProbes) {
    auto music = make(1, 0);
    disc("1", "stopped");
    music.CdWatch();
    EXPECT_TRUE(music.CdWatching());
    EXPECT_EQ(platform.commands(), join(kProbes, {"play cdaudio"}));
    EXPECT_EQ(platform.sent[2].replySize, 255u);

    platform.sent.clear();
    disc("2", "playing");
    music.CdWatch();
    EXPECT_TRUE(music.CdWatching());
    EXPECT_EQ(platform.commands(), kProbes);
}

TEST_F(PlaybackTest, RepeatTrackIsSentBackWhenPlayRunsIntoTheNext) {
    auto music = make(1, 3);
    disc("1", "stopped");
    platform.answers["status cdaudio position track 3"] = {0, "03:00:00:00"};
    music.CdWatch();
    EXPECT_EQ(platform.commands(),
              join(kProbes, {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));

    platform.sent.clear();
    disc("3", "playing");
    music.CdWatch();
    EXPECT_EQ(platform.commands(), kProbes);

    platform.sent.clear();
    disc("4", "playing");
    music.CdWatch();
    EXPECT_EQ(platform.commands(),
              join(kProbes, {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
    EXPECT_TRUE(music.CdWatching());
}

TEST_F(PlaybackTest, FailedPositionQueryGoesIntoThePlayAndTheWatchGoesOn) {
    auto music = make(1, 9);
    disc("1", "stopped");
    platform.answers["status cdaudio position track 9"] = {282, ""};
    music.CdWatch();
    EXPECT_EQ(platform.commands().back(), "play cdaudio from Error:282");
    EXPECT_TRUE(music.CdWatching());
}

TEST_F(PlaybackTest, EitherProbeFailingEndsTheWatch) {
    auto music = make(1, 0);
    platform.answers["status cdaudio current track"] = {276, ""};
    music.CdWatch();
    EXPECT_FALSE(music.CdWatching());
    EXPECT_EQ(platform.commands(), (Commands{"status cdaudio current track"}));

    platform.sent.clear();
    disc("1", "stopped");
    platform.answers["status cdaudio number of tracks"] = {263, ""};
    music.CdWatch();
    EXPECT_FALSE(music.CdWatching());
    EXPECT_EQ(platform.commands(), (Commands{"status cdaudio current track", "status cdaudio number of tracks"}));
}

TEST_F(PlaybackTest, ReplyContainingErrIsAFailedProbe) {
    auto music = make(1, 0);
    disc("terror", "stopped");  // "ERR" once upper-cased
    music.CdWatch();
    EXPECT_FALSE(music.CdWatching());
}

TEST_F(PlaybackTest, UnreadableTrackEndsTheWatchEvenWhenStopped) {
    auto music = make(1, 2);
    disc("two", "stopped");
    music.CdWatch();
    EXPECT_FALSE(music.CdWatching());
    EXPECT_EQ(platform.commands(), kProbes);
}

TEST_F(PlaybackTest, TrackIsComparedAsANumber) {
    auto music = make(1, 3);
    disc(" 3.0 ", "playing");
    music.CdWatch();
    EXPECT_TRUE(music.CdWatching());
    EXPECT_EQ(platform.commands(), kProbes);
}

TEST_F(PlaybackTest, ModeIsTheFirstSevenBytesOfAnUnclearedBuffer) {
    auto music = make(1, 0);
    disc("1", "stopped");
    music.CdWatch();  // buffer now "stopped"
    platform.sent.clear();
    // A failed mode query leaves the buffer as it was: still "stopped".
    platform.answers["status cdaudio mode"] = {263, ""};
    music.CdWatch();
    EXPECT_EQ(platform.commands().back(), "play cdaudio");

    platform.sent.clear();
    disc("1", "stop");  // "stop\0ed" is not "stopped"
    music.CdWatch();
    EXPECT_EQ(platform.commands(), kProbes);

    platform.sent.clear();
    disc("1", "Stopped");  // case counts
    music.CdWatch();
    EXPECT_EQ(platform.commands(), kProbes);
}

TEST_F(PlaybackTest, CdCloseStopsThenCloses) {
    auto music = make(1, 0);
    music.CdClose();
    EXPECT_EQ(platform.commands(), (Commands{"stop cdaudio", "close cdaudio"}));
}

TEST_F(PlaybackTest, Mp3OpenQuotesThePathAndPlaysOnlyWhenOpened) {
    auto music = make(2, 0, "/music/my song.mp3");
    music.Mp3Open();
    EXPECT_EQ(platform.commands(),
              (Commands{"open \"/music/my song.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));

    platform.sent.clear();
    platform.answers["open \"/music/my song.mp3\" type MPEGVideo Alias MP3Play"] = {296, ""};
    music.Mp3Open();
    EXPECT_EQ(platform.commands(), (Commands{"open \"/music/my song.mp3\" type MPEGVideo Alias MP3Play"}));
}

TEST_F(PlaybackTest, Mp3LoopRestartsOnlyWhatIsNotPlaying) {
    auto music = make(2, 0, "a.mp3");
    platform.answers["status MP3Play mode"] = {0, "playing"};
    music.Mp3Loop();
    EXPECT_EQ(platform.commands(), (Commands{"status MP3Play mode"}));
    EXPECT_EQ(platform.sent[0].replySize, 30u);

    platform.sent.clear();
    platform.answers["status MP3Play mode"] = {0, "stopped"};
    music.Mp3Loop();
    EXPECT_EQ(platform.commands(), (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
}

TEST_F(PlaybackTest, Mp3LoopWithAFailedOpenKeepsSending) {
    auto music = make(2, 0, "a.mp3");
    platform.answers["status MP3Play mode"] = {263, ""};
    music.Mp3Loop();
    music.Mp3Loop();
    EXPECT_EQ(platform.commands(), (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0",
                                             "status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
}

TEST_F(PlaybackTest, Mp3CloseStopsThenCloses) {
    auto music = make(2, 0, "a.mp3");
    music.Mp3Close();
    EXPECT_EQ(platform.commands(), (Commands{"stop MP3Play", "close MP3Play"}));
}

TEST_F(PlaybackTest, WavPlayLoopsAsynchronouslyWhenThereIsADevice) {
    auto music = make(2, 0, "/sounds/rain.wav");
    music.WavPlay();
    ASSERT_EQ(wave.calls.size(), 1u);
    EXPECT_EQ(wave.calls[0].name, "/sounds/rain.wav");
    EXPECT_EQ(wave.calls[0].flags, 9u);
    music.WavStop();
    ASSERT_EQ(wave.calls.size(), 2u);
    EXPECT_FALSE(wave.calls[1].hasName);
    EXPECT_EQ(wave.calls[1].flags, 0u);
}

TEST_F(PlaybackTest, WavPlayWithoutADeviceDoesNothingButStopStillRuns) {
    wave.devices = 0;
    auto music = make(2, 0, "/sounds/rain.wav");
    music.WavPlay();
    EXPECT_TRUE(wave.calls.empty());
    music.WavStop();
    EXPECT_EQ(wave.calls.size(), 1u);
}

TEST(BgmFileType, LastThreeCharactersUpperCased) {
    EXPECT_EQ(bgmFileType("/m/song.mp3"), "MP3");
    EXPECT_EQ(bgmFileType("/m/rain.Wav"), "WAV");
    EXPECT_EQ(bgmFileType("/m/rainwav"), "WAV");
    EXPECT_EQ(bgmFileType("/m/tune.mid"), "MID");
    EXPECT_EQ(bgmFileType("ab"), "AB");
    EXPECT_EQ(bgmFileType("/m/曲.ｗav"), "ｗAV");  // characters, not bytes
}

}  // namespace
}  // namespace tamaruka
