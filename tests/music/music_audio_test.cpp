// Playback through SDL's real mixer into its disk driver, and CD audio through
// the real libcdio on generated BIN/CUE images. The sound that came out is
// checked by the tones in the written output.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <thread>

#include "tests/support/sanitizers.h"
#include "tests/support/test_support.h"
#include "music/audio_output.h"
#include "music/cdio_drive.h"
#include "music/mci_interpreter.h"
#include "music/mci_real_devices.h"
#include "music/mixer_wave_sound.h"
#include "music/music_playback.h"
#include "tests/support/music_audio_fixtures.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using test::DiskAudioOutput;

constexpr double kPresent = 3000;  // amplitude of a tone that is there (written at 8000)
constexpr double kAbsent = 500;

using test::waitUntil;

// Forwards to the real interpreter and notes every command.
struct RecordingPlatform : MciPlatform {
    explicit RecordingPlatform(MciPlatform& real) : real(real) {}
    std::int32_t sendString(const char* command, char* reply, std::uint32_t size) override {
        commands.push_back(command);
        return real.sendString(command, reply, size);
    }
    bool getErrorString(std::int32_t code, char* text, std::uint32_t size) override {
        return real.getErrorString(code, text, size);
    }
    MciPlatform& real;
    std::vector<std::string> commands;
};

// The real services, put together as the factory does, with the commands noted.
struct RealMusic {
    explicit RealMusic(const MusicSettings& settings) : playback(settings, layer, wave) {}
    RealMciDevices devices;
    MciInterpreter interpreter{devices};
    RecordingPlatform recorder{interpreter};
    MciCommandLayer layer{recorder};
    MixerWaveSound wave;
    MusicPlayback playback;
};

class MusicAudioTest : public ::testing::Test {
protected:
    std::string folder = test::makeTempDir("tamaruka-music");
    DiskAudioOutput output{folder};

    // Runs CD watch ticks every 200 ms until the output holds the given seconds.
    void watchUntil(MusicPlayback& music, double seconds) {
        bool watching = true;
        waitUntil([&] {
            if (output.seconds() >= seconds || !watching) return true;
            std::this_thread::sleep_for(200ms);
            music.CdWatch();
            watching = music.CdWatching();
            return false;
        }, 20s);
        ASSERT_TRUE(watching);
        ASSERT_GE(output.seconds(), seconds);
    }
};

TEST_F(MusicAudioTest, WavLoopsUntilStopped) {
    const std::string wav = folder + "/tone.WAV";
    test::writeToneWav(wav, 440, 0.3);
    auto keepOutputOpen = openAudioSession();  // so that silence is written after the stop
    ASSERT_TRUE(keepOutputOpen);
    auto music = makeMusicPlayback(MusicSettings{2, 0, wav});
    music->WavPlay();
    ASSERT_TRUE(output.waitFor(1.3));
    EXPECT_GT(output.toneAmplitude(440, 0.9, 1.2), kPresent);  // well after the file's own 0.3 s

    music->WavStop();
    const double stoppedAt = output.seconds();
    ASSERT_TRUE(output.waitFor(stoppedAt + 0.6));
    EXPECT_LT(output.peak(stoppedAt + 0.3, stoppedAt + 0.6), 1);
}

TEST_F(MusicAudioTest, LongWavStreamsInMemoryThatDoesNotGrowWithTheFile) {
    TAMARUKA_SKIP_MEMORY_FIGURES_UNDER_ASAN();
    const std::string wav = folder + "/long.wav";
    ASSERT_TRUE(test::writeLongWav(wav, 440));
    auto keepOutputOpen = openAudioSession();
    ASSERT_TRUE(keepOutputOpen);
    const long before = test::processStatusKilobytes(::getpid(), "VmHWM");
    auto music = makeMusicPlayback(MusicSettings{2, 0, wav});
    music->WavPlay();
    ASSERT_TRUE(output.waitFor(1.5));
    EXPECT_GT(output.toneAmplitude(440, 0.3, 0.9), kPresent);
    EXPECT_LT(output.peak(1.2, 1.5), 1);  // the silent rest of the file plays on
    const long grown = test::processStatusKilobytes(::getpid(), "VmHWM") - before;
    EXPECT_LT(grown, 32 * 1024);  // loaded whole it would be 512 MiB and more

    music->WavStop();
    const double stoppedAt = output.seconds();
    ASSERT_TRUE(output.waitFor(stoppedAt + 0.6));
    EXPECT_LT(output.peak(stoppedAt + 0.3, stoppedAt + 0.6), 1);
}

TEST_F(MusicAudioTest, Mp3PlaysEndsAndIsRestartedByTheLoop) {
    const std::string mp3 = folder + "/tone.mp3";
    if (!test::writeToneMp3(folder, mp3, 880, 0.5)) GTEST_SKIP() << "lame is not installed";
    RealMusic music(MusicSettings{2, 0, mp3});
    music.playback.Mp3Open();
    EXPECT_TRUE(music.playback.Mp3IsPlaying());
    EXPECT_TRUE(waitUntil([&] { return !music.playback.Mp3IsPlaying(); }, 5s));
    const double endedAt = output.seconds();
    EXPECT_GT(output.toneAmplitude(880, 0.1, 0.4), kPresent);
    EXPECT_EQ(music.layer.MciQuery("status MP3Play mode"), "stopped");

    music.playback.Mp3Loop();
    EXPECT_TRUE(music.playback.Mp3IsPlaying());
    ASSERT_TRUE(output.waitFor(endedAt + 0.8));
    EXPECT_GT(output.toneAmplitude(880, endedAt + 0.2, endedAt + 0.5), kPresent);
    const auto& sent = music.recorder.commands;
    EXPECT_EQ(sent[sent.size() - 3], "stop MP3Play");
    EXPECT_EQ(sent[sent.size() - 2], "play MP3Play from 0");

    music.playback.Mp3Close();
    EXPECT_EQ(music.layer.MciQuery("status MP3Play mode"), "Error:263");
}

TEST_F(MusicAudioTest, BadMusicFilesGiveErrorsOrSilence) {
    const std::string notAudio = folder + "/notes.mp3";
    std::ofstream(notAudio) << "These are notes, not music.\n";
    const std::string zeros = folder + "/zeros.mp3";
    std::ofstream(zeros, std::ios::binary) << std::string(4096, '\0');
    const std::string truncatedWav = folder + "/cut.wav";
    test::writeToneWav(truncatedWav, 440, 0.3);
    ::truncate(truncatedWav.c_str(), 30);

    RealMusic music(MusicSettings{2, 0, notAudio});
    std::string message;
    EXPECT_EQ(music.layer.MciSend("open \"" + notAudio + "\" type MPEGVideo Alias MP3Play", message), 296);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(music.layer.MciSend("open \"" + folder + "/none.mp3\" type MPEGVideo Alias MP3Play", message), 275);
    const std::int32_t zerosCode =
        music.layer.MciSend("open \"" + zeros + "\" type MPEGVideo Alias Z", message);
    if (zerosCode == 0) {
        EXPECT_NE(music.layer.MciSend("play Z", message), 0);
    }
    music.layer.MciSendQuiet("close Z");

    music.playback.Mp3Open();
    EXPECT_EQ(music.recorder.commands.back(), "open \"" + notAudio + "\" type MPEGVideo Alias MP3Play");
    music.playback.Mp3Loop();
    EXPECT_FALSE(music.playback.Mp3IsPlaying());

    RealMusic wav(MusicSettings{2, 0, truncatedWav});
    auto keepOutputOpen = openAudioSession();
    wav.playback.WavPlay();
    ASSERT_TRUE(output.waitFor(0.5));
    EXPECT_LT(output.peak(0.0, 0.5), 1);
    wav.playback.WavStop();
}

TEST_F(MusicAudioTest, WholeDiscStartsAtTrackOneAndPlaysOn) {
    ::setenv("TAMARUKA_CDROM", test::writeCdImage(folder, {400, 700, 1000, 1300}, 1.0).c_str(), 1);
    RealMusic music(MusicSettings{1, 0, {}});
    music.playback.CdOpen();
    EXPECT_EQ(music.layer.MciQuery("status cdaudio mode"), "stopped");
    EXPECT_EQ(music.layer.MciQuery("status cdaudio number of tracks"), "4");
    EXPECT_EQ(music.layer.MciQuery("status cdaudio position track 2"), "02:00:00:00");
    music.playback.CdWatch();
    EXPECT_TRUE(music.playback.CdWatching());
    EXPECT_EQ(music.recorder.commands.back(), "play cdaudio");
    EXPECT_EQ(music.layer.MciQuery("status cdaudio mode"), "playing");
    watchUntil(music.playback, 1.8);
    // The first sound is track 1's tone, then track 2's follows.
    EXPECT_GT(output.toneAmplitude(400, 0.2, 0.4), kPresent);
    EXPECT_LT(output.toneAmplitude(700, 0.2, 0.4), kAbsent);
    EXPECT_GT(output.toneAmplitude(700, 1.4, 1.6), kPresent);
    EXPECT_EQ(music.layer.MciQuery("status cdaudio current track"), "2");
    music.playback.CdClose();
    EXPECT_EQ(music.layer.MciQuery("status cdaudio mode"), "Error:263");
}

TEST_F(MusicAudioTest, RepeatTrackIsSentBackWhenItRunsIntoTheNext) {
    ::setenv("TAMARUKA_CDROM", test::writeCdImage(folder, {400, 700, 1000, 1300}, 1.0).c_str(), 1);
    RealMusic music(MusicSettings{1, 3, {}});
    music.playback.CdOpen();
    music.playback.CdWatch();
    EXPECT_EQ(music.recorder.commands.back(), "play cdaudio from 03:00:00:00");
    watchUntil(music.playback, 3.5);
    // Track 3 is still heard long after its one second; tracks 1 and 2 never.
    int track3Windows = 0, track4Windows = 0;
    for (double t = 0.1; t + 0.05 <= 3.5; t += 0.05) {
        EXPECT_LT(output.toneAmplitude(400, t, t + 0.05), kAbsent) << t;
        EXPECT_LT(output.toneAmplitude(700, t, t + 0.05), kAbsent) << t;
        if (output.toneAmplitude(1000, t, t + 0.05) > kPresent) ++track3Windows;
        if (output.toneAmplitude(1300, t, t + 0.05) > kPresent) ++track4Windows;
    }
    EXPECT_GT(output.toneAmplitude(1000, 2.5, 3.5), kPresent / 2);
    EXPECT_GT(track3Windows, 2 * track4Windows);
    EXPECT_GT(track3Windows, 40);
    music.playback.CdClose();
}

TEST_F(MusicAudioTest, RepeatBeyondTheLastTrackKeepsSilentWhileWatching) {
    ::setenv("TAMARUKA_CDROM", test::writeCdImage(folder, {400, 700}, 1.0).c_str(), 1);
    RealMusic music(MusicSettings{1, 9, {}});
    music.playback.CdOpen();
    music.playback.CdWatch();
    EXPECT_TRUE(music.playback.CdWatching());
    EXPECT_EQ(music.recorder.commands.back(), "play cdaudio from Error:282");
    // Nothing started the audio output: no sound at all.
    for (int tick = 0; tick < 4; ++tick) {
        std::this_thread::sleep_for(200ms);
        music.playback.CdWatch();
        EXPECT_TRUE(music.playback.CdWatching());
    }
    EXPECT_EQ(music.layer.MciQuery("status cdaudio mode"), "stopped");
    EXPECT_LT(output.peak(0, output.seconds()), 1);
}

TEST_F(MusicAudioTest, NoDiscEndsTheWatchAtTheFirstTick) {
    for (const std::string& cd : {folder + "/nothing-here.cue", std::string("/dev/null/none")}) {
        ::setenv("TAMARUKA_CDROM", cd.c_str(), 1);
        RealMusic music(MusicSettings{1, 0, {}});
        music.playback.CdOpen();
        music.playback.CdWatch();
        EXPECT_FALSE(music.playback.CdWatching());
        EXPECT_EQ(music.recorder.commands,
                  (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf",
                                            "status cdaudio current track"}));
    }
}

// The second sheet found by fuzzing: its only track starts past the end of
// the 40-sector image, which made positions read back as other sectors.
TEST_F(MusicAudioTest, CueSheetPointingNowhereIsNoDisc) {
    std::ofstream(folder + "/short.bin", std::ios::binary) << std::string(40 * 2352, '\0');
    for (const std::string sheet : {"FILE \"gone.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n",
                                    "FILE \"short.bin\" BINARY\n  TRACK 02 AUDIO\n    INDEX 01 00:04:20\n"}) {
        const std::string cue = folder + "/lost.cue";
        std::ofstream(cue) << sheet;
        EXPECT_FALSE(CdioDrive(cue).tableOfContents()) << sheet;
    }
    const std::string cue = folder + "/lost.cue";
    ::setenv("TAMARUKA_CDROM", cue.c_str(), 1);
    RealMusic music(MusicSettings{1, 0, {}});
    music.playback.CdOpen();
    EXPECT_EQ(music.layer.MciQuery("status cdaudio mode"), "not ready");
    music.playback.CdWatch();
    EXPECT_FALSE(music.playback.CdWatching());
}

}  // namespace
}  // namespace tamaruka
