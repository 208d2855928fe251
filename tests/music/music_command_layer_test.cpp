#include <gtest/gtest.h>

#include "music/mci_command_layer.h"
#include "tests/music/fake_mci_platform.h"

namespace tamaruka {
namespace {

using test::FakeMciPlatform;

class CommandLayerTest : public ::testing::Test {
protected:
    FakeMciPlatform platform;
    MciCommandLayer layer{platform};
    std::string message;
};

TEST_F(CommandLayerTest, EmptyCommandIsNotSent) {
    EXPECT_EQ(layer.MciSend("", message), -1);
    EXPECT_EQ(message, "コマンド文字列が指定されていません");
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(layer.MciQuery(""), "Error:-1");
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(CommandLayerTest, ReplyComesFromTheFullSizedBuffer) {
    platform.answers["status cdaudio mode"] = {0, "playing"};
    EXPECT_EQ(layer.MciSend("status cdaudio mode", message), 0);
    EXPECT_EQ(message, "playing");
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_TRUE(platform.sent[0].hadReplyBuffer);
    EXPECT_EQ(platform.sent[0].replySize, 512u);
}

TEST_F(CommandLayerTest, ShorterReplyHidesTheRestOfAnEarlierOne) {
    platform.answers["status cdaudio mode"] = {0, "not ready"};
    platform.answers["status cdaudio current track"] = {0, "3"};
    EXPECT_EQ(layer.MciQuery("status cdaudio mode"), "not ready");
    EXPECT_EQ(layer.MciQuery("status cdaudio current track"), "3");
    EXPECT_EQ(layer.MciMessage(), "3");
}

TEST_F(CommandLayerTest, FailedSendGivesTheCodeAndItsText) {
    platform.answers["status x mode"] = {263, ""};
    EXPECT_EQ(layer.MciSend("status x mode", message), 263);
    EXPECT_EQ(message, "text of 263");
    ASSERT_EQ(platform.errorTextSizes.size(), 1u);
    EXPECT_EQ(platform.errorTextSizes[0], 256u);
}

TEST_F(CommandLayerTest, UnavailableErrorTextStillReturnsTheCode) {
    platform.errorTextAvailable = false;
    platform.answers["play cdaudio"] = {276, ""};
    EXPECT_EQ(layer.MciSend("play cdaudio", message), 276);
    EXPECT_EQ(message, "Error (文字列が取れません)");
}

TEST_F(CommandLayerTest, QueryFailureReadsAsErrorAndCode) {
    platform.answers["status cdaudio current track"] = {276, ""};
    platform.answers["odd"] = {-7, ""};
    const std::string text = layer.MciQuery("status cdaudio current track");
    EXPECT_EQ(text, "Error:276");
    EXPECT_EQ(layer.MciMessage(), "text of 276");
    EXPECT_EQ(layer.MciQuery("odd"), "Error:-7");
}

TEST_F(CommandLayerTest, PlayBuildsTheFourForms) {
    EXPECT_EQ(layer.MciPlay("cdaudio", "", ""), 0);
    EXPECT_EQ(layer.MciPlay("cdaudio", "03:00:00:00", ""), 0);
    EXPECT_EQ(layer.MciPlay("cdaudio", "", "4"), 0);
    EXPECT_EQ(layer.MciPlay("MP3Play", "0", "1000"), 0);
    EXPECT_EQ(platform.commands(),
              (std::vector<std::string>{"play cdaudio", "play cdaudio from 03:00:00:00", "play cdaudio to 4",
                                        "play MP3Play from 0 to 1000"}));
}

TEST_F(CommandLayerTest, PlayReturnsTheCodeAndKeepsTheText) {
    platform.answers["play cdaudio from Error:282"] = {270, ""};
    EXPECT_EQ(layer.MciPlay("cdaudio", "Error:282", ""), 270);
    EXPECT_EQ(layer.MciMessage(), "text of 270");
}

TEST_F(CommandLayerTest, QuietSendHasNoBufferAndFetchesNoText) {
    platform.answers["close MP3Play"] = {263, ""};
    EXPECT_EQ(layer.MciSendQuiet("close MP3Play"), 263);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_FALSE(platform.sent[0].hadReplyBuffer);
    EXPECT_EQ(platform.sent[0].replySize, 0u);
    EXPECT_TRUE(platform.errorTextSizes.empty());
}

}  // namespace
}  // namespace tamaruka
