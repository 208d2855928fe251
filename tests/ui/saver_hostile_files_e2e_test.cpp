// Tamaruka.scr /S, end to end with the real renderer, against what a file can
// do to it: a file-size limit (ulimit -f) too small for the sprite, and a
// half-gigabyte WAV as the music.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <thread>

#include "tests/support/temp_folder.h"
#include "tests/support/music_audio_fixtures.h"
#include "tests/support/saver_install.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A 32 x 32 grey sprite at 24 bits, as an earlier run might have left.
std::string oldSprite()
{
    const auto put32 = [](std::string& out, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    std::string bmp(54 + 32 * 32 * 3, static_cast<char>(0x80));
    bmp.replace(0, 54, std::string(54, '\0'));
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
    put32(bmp, 10, 54);
    put32(bmp, 14, 40);
    put32(bmp, 18, 32);
    put32(bmp, 22, 32);
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp;
}

TEST(SaverHostileFilesE2E, SpriteThatCannotBeWrittenLeavesTheOldOneAndTheRunGoesOn)
{
    SaverInstall install;
    const std::string sprite = install.spriteFile();
    fs::create_directories(fs::path(sprite).parent_path());
    const std::string before = oldSprite();
    std::ofstream(sprite, std::ios::binary) << before;

    // 4 blocks of 512 bytes: less than any sprite file.
    ChildProcess saver("/bin/sh", {"-c", "ulimit -f 4; exec \"$0\" /S", install.folder() + "/Tamaruka.scr"},
                       {{"XDG_CACHE_HOME", install.folder() + "/cache"},
                        {"XDG_CONFIG_HOME", install.folder() + "/config"},
                        {"MESA_SHADER_CACHE_DISABLE", "true"}});
    // The next step ran: the renderer was started, with the sprite that was there.
    EXPECT_TRUE(waitUntil([&] { return install.rendererRunning(); }, 20s)) << saver.outputText();
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(saver.running()) << "the front-end died: " << saver.waitExit(0ms).value_or(-1);
    EXPECT_EQ(readBytes(sprite), before);
    std::vector<std::string> temporary;
    for (const auto& entry : fs::directory_iterator(fs::path(sprite).parent_path()))
        if (entry.path().filename() != "Fireworks.bmp") temporary.push_back(entry.path().filename());
    EXPECT_EQ(temporary, std::vector<std::string>{});
    install.killRenderers();
}

TEST(SaverHostileFilesE2E, HalfAGigabyteWavPlaysInMemoryThatDoesNotGrowWithIt)
{
    SaverInstall install;
    DiskAudioOutput audio{install.folder()};  // SDL's disk driver for the programs started here
    const std::string wav = install.folder() + "/long.wav";
    ASSERT_TRUE(writeLongWav(wav, 440));
    install.writeSettings(2, 0, wav);
    XClient x;
    x.movePointer(512, 384);
    auto saver = install.start({"/S"});
    ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s).has_value()) << saver->outputText();
    ASSERT_TRUE(audio.waitFor(1.5));
    EXPECT_GT(audio.toneAmplitude(440, 0.2, 0.8), kToneAmplitude * 0.3);
    const long peak = processStatusKilobytes(saver->pid(), "VmHWM");
    EXPECT_LT(peak, 200 * 1024);  // loaded whole, the file alone is 512 MiB
    x.movePointer(100, 100);  // ends the run as a user would
    EXPECT_TRUE(saver->waitExit(10s).has_value());
    install.killRenderers();
    EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
}

}  // namespace
}  // namespace tamaruka::test
