// Two tamaruka instances in two host windows of one display, as a host starts
// one per monitor, with music in the user's settings: exactly one plays it.
#include <csignal>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "tests/music/music_audio_fixtures.h"
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

TEST(DisplayModeMusicE2E, TwoInstancesOnOneDisplayPlayTheMusicOnce) {
    const std::string folder = makeTempDir("tamaruka-two-monitors");
    const std::string config = folder + "/config";
    const std::string runtime = folder + "/run";
    fs::create_directories(config + "/tamaruka");
    fs::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700);
    const std::string wav = folder + "/tone.wav";
    writeToneWav(wav, 440, 0.5);
    const std::string ini = config + "/tamaruka/Tamaruka.ini";
    ASSERT_TRUE(WriteIni(settingsSection, bgmKindKey, " 2", ini));
    ASSERT_TRUE(WriteIni(settingsSection, bgmRepeatKey, " 0", ini));
    ASSERT_TRUE(WriteIni(settingsSection, bgmFileKey, wav, ini));

    XClient x;
    std::vector<std::unique_ptr<DiskAudioOutput>> audio;
    std::vector<std::unique_ptr<ChildProcess>> instances;
    for (int monitor = 0; monitor < 2; ++monitor) {
        const std::string audioFolder = folder + "/monitor" + std::to_string(monitor);
        fs::create_directory(audioFolder);
        audio.push_back(std::make_unique<DiskAudioOutput>(audioFolder));
        const WindowId host = x.createWindow("Host " + std::to_string(monitor), 480, 360, true);
        instances.push_back(std::make_unique<ChildProcess>(
            binDir() + "/tamaruka", std::vector<std::string>{"--root"},
            std::map<std::string, std::string>{{"XSCREENSAVER_WINDOW", hex(host)},
                                               {"XDG_CONFIG_HOME", config},
                                               {"XDG_RUNTIME_DIR", runtime},
                                               {"SDL_AUDIODRIVER", "disk"},
                                               {"SDL_DISKAUDIOFILE", audioFolder + "/output.raw"}}));
    }

    ASSERT_TRUE(waitUntil([&] { return audio[0]->seconds() >= 1.5 || audio[1]->seconds() >= 1.5; }, 20s))
        << instances[0]->outputText() << instances[1]->outputText();
    std::this_thread::sleep_for(1s);  // time enough for a second player to be heard
    const int player = audio[0]->seconds() > audio[1]->seconds() ? 0 : 1;
    EXPECT_EQ(audio[1 - player]->seconds(), 0.0) << "both instances play";
    // The half-second tone still sounds after a second: the WAV loops.
    EXPECT_GT(audio[player]->toneAmplitude(440, 0.6, 1.4), kToneAmplitude * 0.3);

    for (auto& instance : instances) {
        EXPECT_TRUE(instance->running()) << instance->outputText();
        instance->sendSignal(SIGTERM);
    }
    for (auto& instance : instances) EXPECT_EQ(instance->waitExit(5s), 0) << instance->outputText();
}

}  // namespace
}  // namespace tamaruka::test
