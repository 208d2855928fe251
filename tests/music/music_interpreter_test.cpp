#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "music/cd_audio_device.h"
#include "music/cd_time_format.h"
#include "music/mci_error.h"
#include "music/mci_interpreter.h"
#include "music/mpeg_video_device.h"

namespace tamaruka {
namespace {

// A disc of four tracks of 10 seconds each; track 1 at sector 0.
CdTableOfContents fourTracks() {
    CdTableOfContents toc;
    for (int i = 0; i < 4; ++i) toc.tracks.push_back({i + 1, i * 750, true});
    toc.leadOut = 3000;
    return toc;
}

struct FakeDrive : CdDrive {
    bool discIn = true;
    bool isPlaying = false;
    std::int32_t heard = 0, from = -1, to = -1;
    std::optional<CdTableOfContents> tableOfContents() override {
        return discIn ? std::optional(fourTracks()) : std::nullopt;
    }
    bool trayOpen() override { return false; }
    std::int32_t play(std::int32_t f, std::int32_t t) override {
        from = f, to = t, heard = f, isPlaying = true;
        return 0;
    }
    void stop() override { isPlaying = false; }
    bool playing() override { return isPlaying; }
    std::int32_t position() override { return heard; }
};

struct FakeTrack : MusicTrack {
    bool isPlaying = false;
    double from = -1;
    bool play(double f) override { return from = f, isPlaying = true; }
    void stop() override { isPlaying = false; }
    bool playing() override { return isPlaying; }
    double positionSeconds() override { return 0.5; }
    double lengthSeconds() override { return 2.0; }
};

struct FakeDevices : MciDeviceFactory {
    FakeDrive* drive = nullptr;
    FakeTrack* track = nullptr;
    bool discIn = true;
    std::string openedFile, openedDrive;
    std::unique_ptr<MciDevice> openCdAudio(const std::string& name, std::int32_t&) override {
        openedDrive = name;
        auto fake = std::make_unique<FakeDrive>();
        fake->discIn = discIn;
        drive = fake.get();
        return std::make_unique<CdAudioDevice>(std::move(fake));
    }
    std::unique_ptr<MciDevice> openMpegVideo(const std::string& file, std::int32_t& error) override {
        openedFile = file;
        if (file.find("missing") != std::string::npos) {
            error = mci_error::kFileNotFound;
            return nullptr;
        }
        auto fake = std::make_unique<FakeTrack>();
        track = fake.get();
        return std::make_unique<MpegVideoDevice>(std::move(fake));
    }
};

class InterpreterTest : public ::testing::Test {
protected:
    FakeDevices devices;
    MciInterpreter mci{devices};
    char reply[512] = {};

    std::int32_t send(const std::string& command) { return mci.sendString(command.c_str(), reply, sizeof reply); }
    std::string ask(const std::string& command) {
        const std::int32_t code = send(command);
        return code == 0 ? std::string(reply) : "code " + std::to_string(code);
    }
};

TEST_F(InterpreterTest, MalformedCommandsGiveTheirErrorValues) {
    EXPECT_EQ(send(""), 267);
    EXPECT_EQ(send("   "), 267);
    EXPECT_EQ(send("eject cdaudio"), 261);
    EXPECT_EQ(send("play"), 292);
    EXPECT_EQ(send("status cdaudio mode"), 263);  // not open
    EXPECT_EQ(send("open \"/music/a b.mp3"), 294);
    EXPECT_EQ(send("open \"/music/a.mp3\"x type mpegvideo"), 305);
    EXPECT_EQ(send("open cdaudio bogus"), 259);
    EXPECT_EQ(send("open /music/a.xyz"), 281);
    EXPECT_EQ(send("open thing"), 263);
    EXPECT_EQ(send("open a.mp3 type waveaudio"), 263);
    EXPECT_EQ(send("open mpegvideo"), 304);
    EXPECT_EQ(send("open \"/music/missing.mp3\" type MPEGVideo alias x"), 275);
    ASSERT_EQ(send("open cdaudio"), 0);
    EXPECT_EQ(send("open cdaudio"), 265);
    EXPECT_EQ(send("status cdaudio"), 273);
    EXPECT_EQ(send("status cdaudio colour"), 259);
    EXPECT_EQ(send("status cdaudio mode now"), 259);
    EXPECT_EQ(send("status cdaudio position track"), 273);
    EXPECT_EQ(send("status cdaudio position track x3"), 270);
    EXPECT_EQ(send("status cdaudio position track 5"), 282);
    EXPECT_EQ(send("status cdaudio position track 99999999999"), 282);
    EXPECT_EQ(send("set cdaudio time format frames"), 293);
    EXPECT_EQ(send("set cdaudio door open"), 259);
    EXPECT_EQ(send("play cdaudio from"), 273);
    EXPECT_EQ(send("play cdaudio from 1 from 2"), 295);
    EXPECT_EQ(send("play cdaudio loudly"), 259);
    EXPECT_EQ(send("stop cdaudio now"), 259);
    EXPECT_EQ(send("status all mode"), 279);
}

TEST_F(InterpreterTest, EveryErrorValueHasAText) {
    for (std::int32_t code : {257, 259, 261, 262, 263, 264, 265, 266, 267, 268, 269, 270, 273, 274, 275, 276, 277,
                              279, 281, 282, 284, 287, 289, 290, 292, 293, 294, 295, 296, 301, 304, 305, 306, 326}) {
        char text[256];
        EXPECT_TRUE(mci.getErrorString(code, text, sizeof text)) << code;
        EXPECT_GT(std::strlen(text), 10u) << code;
    }
    char text[256] = "unchanged";
    EXPECT_FALSE(mci.getErrorString(0, text, sizeof text));
    EXPECT_FALSE(mci.getErrorString(12345, text, sizeof text));
    char small[8];
    ASSERT_TRUE(mci.getErrorString(263, small, sizeof small));
    EXPECT_EQ(std::strlen(small), 7u);  // cut to fit, NUL included
}

TEST_F(InterpreterTest, FreshCdIsStoppedAtTrackOneAndNamesAreCaseInsensitive) {
    ASSERT_EQ(send("open cdaudio"), 0);
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(ask("STATUS CDAudio Current Track"), "1");
    EXPECT_EQ(ask("status cdaudio number of tracks"), "4");
    EXPECT_EQ(ask("status cdaudio time format"), "msf");
    EXPECT_EQ(ask("status cdaudio position"), "00:02:00");
    ASSERT_EQ(send("set cdaudio time format tmsf"), 0);
    EXPECT_EQ(ask("status cdaudio position track 3"), "03:00:00:00");
    EXPECT_EQ(ask("status cdaudio length track 2"), "00:10:00");
    ASSERT_EQ(send("set cdaudio time format milliseconds"), 0);
    EXPECT_EQ(ask("status cdaudio position track 2"), "12000");
    EXPECT_EQ(ask("status cdaudio length"), "40000");
}

// Found by fuzzing: a position in milliseconds too large to convert was
// multiplied past the 64-bit range.
TEST_F(InterpreterTest, MillisecondPositionsFarBeyondTheDiscAreOutOfRange) {
    ASSERT_EQ(send("open cdaudio"), 0);
    ASSERT_EQ(send("set cdaudio time format milliseconds"), 0);
    for (const char* far : {"3883139815726120960", "-3883139815726120960", "9223372036854775807",
                            "123000000000000"}) {
        EXPECT_EQ(send(std::string("play cdaudio from ") + far), mci_error::kOutOfRange) << far;
    }
    EXPECT_EQ(devices.drive->from, -1);  // nothing played
}

TEST_F(InterpreterTest, PlayFromAReportedPositionAndWhereTheDiscIs) {
    ASSERT_EQ(send("open cdaudio"), 0);
    ASSERT_EQ(send("set cdaudio time format tmsf"), 0);
    const std::string position = ask("status cdaudio position track 3");
    ASSERT_EQ(send("play cdaudio from " + position), 0);
    EXPECT_EQ(devices.drive->from, 1500);
    EXPECT_EQ(devices.drive->to, 3000);
    EXPECT_EQ(ask("status cdaudio mode"), "playing");
    devices.drive->heard = 2300;  // ran on into track 4
    EXPECT_EQ(ask("status cdaudio current track"), "4");
    EXPECT_EQ(ask("status cdaudio position"), "04:00:00:50");

    EXPECT_EQ(send("play cdaudio from 2:0:1 to 3"), 0);  // track 2 + 1 s, up to track 3
    EXPECT_EQ(devices.drive->from, 825);
    EXPECT_EQ(devices.drive->to, 1500);
    EXPECT_EQ(send("play cdaudio from Error:282"), 270);
    EXPECT_EQ(send("play cdaudio from 5"), 282);
    EXPECT_EQ(send("play cdaudio from 3 to 2"), 282);

    // A disc that played to its end starts again with a plain play.
    devices.drive->stop();
    devices.drive->heard = 3000;
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    ASSERT_EQ(send("play cdaudio"), 0);
    EXPECT_EQ(devices.drive->from, 0);
}

TEST_F(InterpreterTest, EmptyDriveIsNotReady) {
    devices.discIn = false;
    ASSERT_EQ(send("open cdaudio"), 0);
    EXPECT_EQ(ask("status cdaudio mode"), "not ready");
    EXPECT_EQ(ask("status cdaudio media present"), "false");
    EXPECT_EQ(send("status cdaudio current track"), 276);
    EXPECT_EQ(send("status cdaudio number of tracks"), 276);
    EXPECT_EQ(send("play cdaudio"), 276);
}

TEST_F(InterpreterTest, CloseForgetsTheDevice) {
    ASSERT_EQ(send("open cdaudio alias disc"), 0);
    EXPECT_EQ(send("status cdaudio mode"), 263);
    EXPECT_EQ(ask("status DISC mode"), "stopped");
    ASSERT_EQ(send("close disc"), 0);
    EXPECT_EQ(send("close disc"), 263);
    ASSERT_EQ(send("open cdaudio"), 0);
    ASSERT_EQ(send("close all"), 0);
    EXPECT_EQ(send("stop cdaudio"), 263);
}

TEST_F(InterpreterTest, MpegVideoUnderItsAlias) {
    ASSERT_EQ(send("open \"/music/my song.mp3\" type MPEGVideo Alias MP3Play"), 0);
    EXPECT_EQ(devices.openedFile, "/music/my song.mp3");
    EXPECT_EQ(send("open \"/music/other.mp3\" type MPEGVideo Alias mp3play"), 289);
    EXPECT_EQ(ask("status MP3Play mode"), "stopped");
    ASSERT_EQ(send("play MP3Play"), 0);
    EXPECT_EQ(ask("status mp3play mode"), "playing");
    EXPECT_EQ(ask("status MP3Play position"), "500");
    EXPECT_EQ(ask("status MP3Play length"), "2000");
    devices.track->isPlaying = false;  // played to its end
    EXPECT_EQ(ask("status MP3Play mode"), "stopped");
    ASSERT_EQ(send("stop MP3Play"), 0);
    ASSERT_EQ(send("play MP3Play from 0"), 0);
    EXPECT_EQ(devices.track->from, 0.0);
    EXPECT_EQ(send("play MP3Play from 1500"), 0);
    EXPECT_EQ(devices.track->from, 1.5);
    EXPECT_EQ(send("play MP3Play from 9000"), 282);
    EXPECT_EQ(send("play MP3Play from 0 to 100"), 274);
    EXPECT_EQ(send("set MP3Play time format tmsf"), 293);
    ASSERT_EQ(send("close MP3Play"), 0);
    EXPECT_EQ(send("status MP3Play mode"), 263);
}

TEST_F(InterpreterTest, ReplyThatDoesNotFitIsRefused) {
    ASSERT_EQ(send("open cdaudio"), 0);
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(mci.sendString("status cdaudio mode", small, sizeof small), 268);
    EXPECT_EQ(mci.sendString("status cdaudio mode", nullptr, 0), 0);
    char fits[8];
    EXPECT_EQ(mci.sendString("status cdaudio mode", fits, sizeof fits), 0);
    EXPECT_STREQ(fits, "stopped");
}

TEST_F(InterpreterTest, AnyCommandTextIsAnsweredWithoutACrash) {
    ASSERT_EQ(send("open cdaudio"), 0);
    EXPECT_NE(send(std::string(200000, 'a')), 0);
    EXPECT_NE(send("status cdaudio " + std::string(100000, ' ') + "x"), 0);
    std::mt19937 random(5);
    const std::vector<std::string> words = {"open", "close", "play", "stop", "status", "set", "cdaudio", "from",
                                            "to", "track", "position", "mode", "time", "format", "tmsf", "\"",
                                            "alias", "type", "all", "1:2:3:4:5", "-1", "99:99", "length"};
    for (int i = 0; i < 3000; ++i) {
        std::string command;
        const int count = static_cast<int>(random() % 7);
        for (int w = 0; w < count; ++w) command += words[random() % words.size()] + " ";
        if (random() % 4 == 0) command += static_cast<char>(random() % 256);
        const std::int32_t code = send(command);
        EXPECT_TRUE(code == 0 || mciErrorText(code) != nullptr) << command << " -> " << code;
    }
}

TEST(CdTimeFormat, PartialFieldsAndRanges) {
    const CdTableOfContents toc = fourTracks();
    std::int32_t sector = -1;
    EXPECT_EQ(parseCdPosition("3", MciTimeFormat::Tmsf, toc, sector), 0);
    EXPECT_EQ(sector, 1500);
    EXPECT_EQ(parseCdPosition("03:00:01:05", MciTimeFormat::Tmsf, toc, sector), 0);
    EXPECT_EQ(sector, 1580);
    EXPECT_EQ(parseCdPosition("00:02:00", MciTimeFormat::Msf, toc, sector), 0);
    EXPECT_EQ(sector, 0);
    EXPECT_EQ(parseCdPosition("4000", MciTimeFormat::Milliseconds, toc, sector), 0);
    EXPECT_EQ(sector, 150);
    EXPECT_EQ(parseCdPosition("1:2:3:4:5", MciTimeFormat::Tmsf, toc, sector), 270);
    EXPECT_EQ(parseCdPosition("1::3", MciTimeFormat::Tmsf, toc, sector), 270);
    EXPECT_EQ(parseCdPosition("1:300", MciTimeFormat::Tmsf, toc, sector), 282);
    EXPECT_EQ(parseCdPosition("", MciTimeFormat::Msf, toc, sector), 270);
    EXPECT_EQ(formatCdPosition(2999, MciTimeFormat::Tmsf, toc), "04:00:09:74");
    EXPECT_EQ(formatCdPosition(2999, MciTimeFormat::Msf, toc), "00:41:74");
    EXPECT_EQ(formatCdLength(3000, MciTimeFormat::Tmsf), "00:40:00");
}

}  // namespace
}  // namespace tamaruka
