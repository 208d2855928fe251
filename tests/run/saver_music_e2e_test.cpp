// The music of a saver run, end to end: the real front-end plays into SDL's
// disk audio driver while the real renderer runs.
#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/music_audio_fixtures.h"
#include "tests/support/saver_install.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

class SaverMusicE2E : public ::testing::Test {
protected:
    void SetUp() override { x.movePointer(512, 384); }
    void TearDown() override {
        if (saver && saver->running()) x.movePointer(100, 100);  // ends the run as a user would
        if (saver) saver->waitExit(10s);
        install.killRenderers();
        EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
    }

    void run() {
        saver = install.start({"/S"});
        ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s).has_value()) << saver->outputText();
    }

    XClient x;
    SaverInstall install;
    // Sets SDL_AUDIODRIVER=disk and the output file for the programs started here.
    DiskAudioOutput audio{install.folder()};
    std::unique_ptr<ChildProcess> saver;
};

TEST_F(SaverMusicE2E, WavFileLoops) {
    const std::string wav = install.folder() + "/x.WAV";
    writeToneWav(wav, 440, 0.4);
    install.writeSettings(2, 0, wav);
    run();
    ASSERT_TRUE(audio.waitFor(1.5));
    // A 0.4 s file still sounds after a second: it loops.
    EXPECT_GT(audio.toneAmplitude(440, 1.0, 1.4), kToneAmplitude * 0.3);
}

TEST_F(SaverMusicE2E, Mp3PlaysAndIsRestarted) {
    const std::string mp3 = install.folder() + "/x.mp3";
    if (!writeToneMp3(install.folder(), mp3, 880, 0.5)) GTEST_SKIP() << "lame is not installed";
    install.writeSettings(2, 0, mp3);
    run();
    ASSERT_TRUE(audio.waitFor(3.0));
    EXPECT_GT(audio.toneAmplitude(880, 0.0, 1.0), kToneAmplitude * 0.1);
    // The file ends after half a second; Timer1 starts it again within a second.
    // Counted in 0.1 s windows: over one long window the plays after two
    // restarts, out of phase with each other, can cancel out.
    int windowsWithTone = 0;
    for (int window = 12; window < 30; ++window)
        if (audio.toneAmplitude(880, window / 10.0, (window + 1) / 10.0) > kToneAmplitude * 0.3) ++windowsWithTone;
    EXPECT_GE(windowsWithTone, 4);
}

TEST_F(SaverMusicE2E, MidiFilePlaysNothing) {
    const std::string mid = install.folder() + "/x.mid";
    std::ofstream(mid) << "MThd";
    install.writeSettings(2, 0, mid);
    run();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(audio.seconds(), 0.0);  // audio never even started
    EXPECT_TRUE(saver->running());
}

TEST_F(SaverMusicE2E, AudioCdImagePlays) {
    const std::string cue = writeCdImage(install.folder(), {660, 990}, 2.0);
    install.writeSettings(1, 0, "");
    saver = install.start({"/S"}, {{"TAMARUKA_CDROM", cue}});
    ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s).has_value()) << saver->outputText();
    ASSERT_TRUE(audio.waitFor(1.5));
    EXPECT_GT(audio.toneAmplitude(660, 0.5, 1.5), kToneAmplitude * 0.3);
}

}  // namespace
}  // namespace tamaruka::test
