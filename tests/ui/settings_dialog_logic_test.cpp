#include "frontend/ui/settings_dialog_logic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/frontend_state.h"
#include "settings/settings_store.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string freshFolder() { return test::makeTempDir("tamaruka-ui"); }

// A dialog whose settings file lies in folders of a fresh temporary folder
// that do not exist yet.
class SettingsDialogLogicTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string ini() const { return folder + "/config/tamaruka/Tamaruka.ini"; }
    std::string read(std::string_view key) const { return ReadIni(settingsSection, key, ini()); }

    std::string folder = freshFolder();
    FrontEndState state;
    SettingsDialogLogic dialog{state, ini()};
};

TEST_F(SettingsDialogLogicTest, KindZeroMarksNoneAndDisablesBothInputs)
{
    dialog.load();
    const MusicSectionLook& look = dialog.look();
    EXPECT_EQ(look.markerSelected, (std::array<bool, 3>{true, false, false}));
    EXPECT_FALSE(look.fileButtonEnabled);
    EXPECT_FALSE(look.repeatEnabled);
    EXPECT_EQ(look.repeatText, "");  // track 0 shows an empty box
    ASSERT_EQ(look.repeatList.size(), 31u);
    EXPECT_EQ(look.repeatList.front(), "");
    EXPECT_EQ(look.repeatList[7], "7");
    EXPECT_EQ(look.repeatList.back(), "30");
}

TEST_F(SettingsDialogLogicTest, EachKindEnablesOnlyItsInput)
{
    dialog.load();
    dialog.selectMusicKind(1);
    EXPECT_EQ(state.settings.bgmKind, 1);
    EXPECT_EQ(dialog.look().markerSelected, (std::array<bool, 3>{false, true, false}));
    EXPECT_TRUE(dialog.look().repeatEnabled);
    EXPECT_FALSE(dialog.look().fileButtonEnabled);
    dialog.selectMusicKind(2);
    EXPECT_EQ(dialog.look().markerSelected, (std::array<bool, 3>{false, false, true}));
    EXPECT_FALSE(dialog.look().repeatEnabled);
    EXPECT_TRUE(dialog.look().fileButtonEnabled);
}

TEST_F(SettingsDialogLogicTest, StoredKindFiveMarksNothingAndIsWrittenBack)
{
    state.settings.bgmKind = 5;
    state.settings.bgmRepeat = 12;
    dialog.load();
    EXPECT_EQ(dialog.look().markerSelected, (std::array<bool, 3>{}));
    EXPECT_FALSE(dialog.look().fileButtonEnabled);
    EXPECT_FALSE(dialog.look().repeatEnabled);
    EXPECT_EQ(dialog.look().repeatText, "12");
    dialog.confirm(dialog.look().repeatText);
    EXPECT_EQ(read(bgmKindKey), "5");  // the reader drops the sign blank
    EXPECT_NE(fileBytes(ini()).find("= 5"), std::string::npos);
}

TEST_F(SettingsDialogLogicTest, ConfirmWritesTheThreeKeysInTheirForms)
{
    dialog.load();
    dialog.selectMusicKind(1);
    dialog.confirm("7");
    // CP932 key bytes and the sign-blank values, byte for byte.
    const std::string bytes = fileBytes(ini());
    EXPECT_NE(bytes.find("[Section]"), std::string::npos);
    EXPECT_NE(bytes.find("BGM\x8B\xE6\x95\xAA= 1"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\xD8\xCB\xDF\xB0\xC4= 7"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\xCC\xA7\xB2\xD9="), std::string::npos) << bytes;
    EXPECT_EQ(state.settings.bgmRepeat, 7);
}

TEST_F(SettingsDialogLogicTest, TrackTextIsReadAsANumberRoundedHalfToEven)
{
    const std::vector<std::pair<std::string, std::int16_t>> cases = {
        {"abc", 0}, {"", 0}, {"2.5", 2}, {"3.5", 4}, {" 12 ", 12}, {"-3", -3}};
    for (const auto& [text, track] : cases) {
        state.settings.bgmRepeat = 9;
        dialog.confirm(text);
        EXPECT_EQ(state.settings.bgmRepeat, track) << '"' << text << '"';
        EXPECT_EQ(read(bgmRepeatKey), std::to_string(track)) << '"' << text << '"';
    }
    dialog.confirm("0");
    EXPECT_NE(fileBytes(ini()).find("= 0"), std::string::npos);
}

TEST_F(SettingsDialogLogicTest, TrackBeyondSixteenBitsKeepsTheTrackItHad)
{
    state.settings.bgmRepeat = 4;
    dialog.confirm("99999");
    EXPECT_EQ(state.settings.bgmRepeat, 4);
    EXPECT_EQ(read(bgmRepeatKey), "4");
    EXPECT_EQ(read(bgmKindKey), "0");  // the other keys are written all the same
}

TEST_F(SettingsDialogLogicTest, FileIsKeptWhenSwitchingKinds)
{
    state.settings.bgmKind = 2;
    dialog.load();
    ASSERT_TRUE(dialog.takeChosenFile("/music/夏の夜.mp3"));
    EXPECT_EQ(dialog.look().fileLabel, "/music/夏の夜.mp3");
    dialog.selectMusicKind(1);
    dialog.confirm("");
    EXPECT_EQ(read(bgmKindKey), "1");
    EXPECT_EQ(read(bgmFileKey), "/music/夏の夜.mp3");
}

TEST_F(SettingsDialogLogicTest, CancelledOrUnfittingFileChangesNothing)
{
    state.settings.bgmFile = "/music/old.wav";
    dialog.load();
    EXPECT_FALSE(dialog.takeChosenFile(std::nullopt));
    // Not representable in code page 932 (an emoji, a Hangul syllable).
    EXPECT_FALSE(dialog.takeChosenFile("/music/\xF0\x9F\x8E\x86.mp3"));
    EXPECT_FALSE(dialog.takeChosenFile("/music/\xED\x95\x9C.wav"));
    // A line break the settings file cannot hold.
    EXPECT_FALSE(dialog.takeChosenFile("/music/a\nb.mp3"));
    EXPECT_FALSE(dialog.takeChosenFile("/music/a\rb.mp3"));
    // 254 bytes fit the 255-character buffer; 255 do not. A kanji is 2 bytes.
    const std::string fits = "/" + std::string(251, 'a') + "花";
    const std::string tooLong = "/" + std::string(252, 'a') + "花";
    EXPECT_FALSE(dialog.takeChosenFile(tooLong));
    EXPECT_EQ(state.settings.bgmFile, "/music/old.wav");
    EXPECT_EQ(dialog.look().fileLabel, "/music/old.wav");
    EXPECT_TRUE(dialog.takeChosenFile(fits));
    EXPECT_EQ(state.settings.bgmFile, fits);
}

TEST_F(SettingsDialogLogicTest, RefusedFileTellsWhichAndWhy)
{
    const std::string quoted = "/music/\"live\".mp3";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/music/música.mp3", "ﾌｧｲﾙ名に設定ﾌｧｲﾙ (Shift_JIS) で表せない文字があります。"},
        {quoted, "MP3ﾌｧｲﾙのﾊﾟｽに \" があると再生できません。"},
        {"/music/a\nb.wav", "ﾌｧｲﾙ名に改行があります。"},
        {"/" + std::string(253, 'a') + ".mp3", "ﾊﾟｽが長すぎます (Shift_JISで254ﾊﾞｲﾄまで)。"}};
    for (const auto& [path, why] : cases) {
        EXPECT_FALSE(dialog.takeChosenFile(path));
        EXPECT_EQ(dialog.refusal(), "このﾌｧｲﾙはBGMにできません：\n" + path + "\n" + why);
    }
    // A quotation mark is only in the way of the MP3's open command.
    EXPECT_TRUE(dialog.takeChosenFile("/music/\"live\".wav"));
    EXPECT_EQ(dialog.refusal(), "");
    EXPECT_FALSE(dialog.takeChosenFile(std::nullopt));  // cancelled: nothing to say
    EXPECT_EQ(dialog.refusal(), "");
}

TEST_F(SettingsDialogLogicTest, ConfirmMakesTheFoldersAndSaysWhenItCannotSave)
{
    EXPECT_EQ(dialog.confirm("3"), std::nullopt);
    EXPECT_EQ(read(bgmRepeatKey), "3");
    EXPECT_EQ(std::filesystem::status(folder + "/config/tamaruka").permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_all);

    // A file where the folder should be: no user (root included) can save there.
    std::ofstream(folder + "/blocked") << "";
    const std::string blocked = folder + "/blocked/tamaruka/Tamaruka.ini";
    SettingsDialogLogic refused(state, blocked);
    EXPECT_EQ(refused.confirm("3"),
              "設定を保存できませんでした：\n" + blocked + "\nNot a directory");
    SettingsDialogLogic homeless(state, "");
    EXPECT_EQ(homeless.confirm("3"), "設定を保存できませんでした：\n~/.config/tamaruka/Tamaruka.ini\n"
                                     "ﾎｰﾑﾌｫﾙﾀﾞが見つかりません。");
}

TEST_F(SettingsDialogLogicTest, PointerNotedForTheZooms)
{
    dialog.notePointer(ScreenPoint{300, 200});
    EXPECT_EQ(state.startCursorX, 300);
    EXPECT_EQ(state.startCursorY, 200);
    dialog.notePointer(std::nullopt);  // unreadable pointer: the screen's corner
    EXPECT_EQ(state.startCursorX, 0);
    EXPECT_EQ(state.startCursorY, 0);
}

TEST(DialogPlacement, CentredAcrossAndAThirdDown)
{
    const ScreenPoint p = dialogPlacement(1024, 768, 479, 243);
    EXPECT_EQ(p.x, 272);  // 545 / 2 truncated
    EXPECT_EQ(p.y, 175);  // 525 / 3
    const ScreenPoint big = dialogPlacement(400, 200, 479, 243);
    EXPECT_EQ(big.x, -39);  // -79 / 2 truncates towards zero
    EXPECT_EQ(big.y, -14);  // -43 / 3
    EXPECT_EQ(dialogPlacement(1000.5, 768, 0, 0).x, 500);  // 1000.5 -> 1000 first
}

}  // namespace
}  // namespace tamaruka
