// The display mode's music from the user's settings, end to end: instances in
// host windows of one display, as a host starts one per monitor, and an
// installed copy that finds the system-wide default beside the other programs.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "tests/support/music_audio_fixtures.h"
#include "tests/support/test_support.h"

namespace tamaruka::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string hex(WindowId window) {
    std::ostringstream text;
    text << "0x" << std::hex << window;
    return text.str();
}

void writeMusicSettings(const std::string& ini, const std::string& wav) {
    fs::create_directories(fs::path(ini).parent_path());
    ASSERT_TRUE(WriteIni(settingsSection, bgmKindKey, " 2", ini));
    ASSERT_TRUE(WriteIni(settingsSection, bgmRepeatKey, " 0", ini));
    ASSERT_TRUE(WriteIni(settingsSection, bgmFileKey, wav, ini));
}

class DisplayModeMusicE2E : public ::testing::Test {
protected:
    DisplayModeMusicE2E() {
        fs::create_directory(runtime);
        ::chmod(runtime.c_str(), 0700);
        writeToneWav(wav, 440, 0.5);
    }
    // SIGTERM stops the music and ends each instance with 0; the player's
    // time includes closing the sound device.
    void TearDown() override {
        for (std::size_t i = 0; i < instances.size(); ++i) {
            if (static_cast<int>(i) == killed) continue;
            EXPECT_TRUE(instances[i]->running()) << instances[i]->outputText();
            instances[i]->sendSignal(SIGTERM);
            EXPECT_EQ(instances[i]->waitExit(5s), 0) << instances[i]->outputText();
        }
    }

    // One instance with --root in a new host window, playing into its own file.
    DiskAudioOutput& start(const std::string& program) {
        const std::string audioFolder = folder + "/instance" + std::to_string(instances.size());
        fs::create_directory(audioFolder);
        audio.push_back(std::make_unique<DiskAudioOutput>(audioFolder));
        const WindowId host = x.createWindow("Host " + std::to_string(instances.size()), 480, 360, true);
        instances.push_back(std::make_unique<ChildProcess>(
            program, std::vector<std::string>{"--root"},
            std::map<std::string, std::string>{{"XSCREENSAVER_WINDOW", hex(host)},
                                               {"XDG_CONFIG_HOME", config},
                                               {"XDG_RUNTIME_DIR", runtime},
                                               {"SDL_AUDIODRIVER", "disk"},
                                               {"SDL_DISKAUDIOFILE", audioFolder + "/output.raw"}}));
        return *audio.back();
    }

    // Two instances on the display with the user's music; true once one of
    // them has played 1.5 s.
    bool startTwoWithMusic() {
        writeMusicSettings(config + "/tamaruka/Tamaruka.ini", wav);
        start(binDir() + "/tamaruka");
        start(binDir() + "/tamaruka");
        return waitUntil([&] { return audio[0]->seconds() >= 1.5 || audio[1]->seconds() >= 1.5; }, 20s);
    }

    std::string output() const {
        std::string text;
        for (const auto& instance : instances) text += instance->outputText();
        return text;
    }

    const std::string folder = makeTempDir("tamaruka-display-mode-music");
    const std::string config = folder + "/config";
    const std::string runtime = folder + "/run";
    const std::string wav = folder + "/tone.wav";
    XClient x;
    std::vector<std::unique_ptr<DiskAudioOutput>> audio;
    std::vector<std::unique_ptr<ChildProcess>> instances;
    int killed = -1;  // an instance a case ended itself
};

TEST_F(DisplayModeMusicE2E, TwoInstancesOnOneDisplayPlayTheMusicOnce) {
    ASSERT_TRUE(startTwoWithMusic()) << output();
    std::this_thread::sleep_for(1s);  // time enough for a second player to be heard
    const int player = audio[0]->seconds() > audio[1]->seconds() ? 0 : 1;
    EXPECT_EQ(audio[1 - player]->seconds(), 0.0) << "both instances play";
    // The half-second tone still sounds after a second: the WAV loops.
    EXPECT_GT(audio[player]->toneAmplitude(440, 0.6, 1.4), kToneAmplitude * 0.3);
}

// The player ends while the others run on (the host ends the process of a
// monitor that was removed; a crash): another instance takes the music over.
TEST_F(DisplayModeMusicE2E, TheMusicMovesToAnotherInstanceWhenThePlayerIsKilled) {
    ASSERT_TRUE(startTwoWithMusic()) << output();
    const int player = audio[0]->seconds() > audio[1]->seconds() ? 0 : 1;
    const DiskAudioOutput& heir = *audio[1 - player];
    ASSERT_EQ(heir.seconds(), 0.0) << "both instances play";  // its tries so far were refused

    instances[player]->sendSignal(SIGKILL);
    killed = player;
    ASSERT_EQ(instances[player]->waitExit(5s), 128 + SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return heir.seconds() > 0; }, 5s)) << "nobody took the music over\n" << output();
    // It plays the settings' music from its start: the looped tone.
    ASSERT_TRUE(heir.waitFor(1.5)) << output();
    EXPECT_GT(heir.toneAmplitude(440, 0.6, 1.4), kToneAmplitude * 0.3);
}

// Installed, the program lives in the hosts' folder and the settings default
// beside Tamaruka.scr in the programs' own folder; the user has no file.
TEST_F(DisplayModeMusicE2E, InstalledCopyPlaysTheSystemWideDefault) {
    const std::string prefix = folder + "/prefix";
    const std::string program = prefix + "/" TAMARUKA_TEST_DISPLAY_MODE_DIR "/tamaruka";
    fs::create_directories(fs::path(program).parent_path());
    fs::copy_file(binDir() + "/tamaruka", program);
    writeMusicSettings(prefix + "/" TAMARUKA_TEST_PROGRAMS_DIR "/Tamaruka.ini", wav);
    const DiskAudioOutput& played = start(program);
    ASSERT_TRUE(played.waitFor(1.5)) << output();
    EXPECT_GT(played.toneAmplitude(440, 0.6, 1.4), kToneAmplitude * 0.3);
}

}  // namespace
}  // namespace tamaruka::test
