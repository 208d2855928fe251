#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/program_folder.h"
#include "frontend/frontend_state.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

namespace tamaruka {
namespace {

using test::TempFolder;
using test::writeBytes;

class LoadSettingsTest : public ::testing::Test {
protected:
    LoadSettingsTest() { state.programFolder = folder.path(); }

    void setValues(const std::string& kind, const std::string& repeat, const std::string& file)
    {
        const std::string ini = settingsFilePath(folder.path());
        std::filesystem::remove(ini);
        if (!kind.empty()) { ASSERT_TRUE(WriteIni(settingsSection, bgmKindKey, kind, ini)); }
        if (!repeat.empty()) { ASSERT_TRUE(WriteIni(settingsSection, bgmRepeatKey, repeat, ini)); }
        if (!file.empty()) { ASSERT_TRUE(WriteIni(settingsSection, bgmFileKey, file, ini)); }
    }

    TempFolder folder;
    FrontEndState state;
};

TEST_F(LoadSettingsTest, NoFileMeansNoMusic)
{
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 0);
    EXPECT_EQ(state.settings.bgmRepeat, 0);
    EXPECT_EQ(state.settings.bgmFile, "");
}

TEST_F(LoadSettingsTest, ReadsTheSettingsFileBesideTheProgram)
{
    const std::string music = folder.file("曲.wav");
    writeBytes(music, "RIFF");
    setValues(" 2", " 7", music);
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 2);
    EXPECT_EQ(state.settings.bgmRepeat, 7);
    EXPECT_EQ(state.settings.bgmFile, music);
}

TEST_F(LoadSettingsTest, NumbersAreFlooredAndMustBeNumbersOf16Bits)
{
    setValues("1.7", "-0.5", "");
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 1);
    EXPECT_EQ(state.settings.bgmRepeat, -1);

    // Not a number, or beyond 16 bits: the setting keeps what it had.
    state.settings.bgmKind = 1;
    state.settings.bgmRepeat = 4;
    setValues("abc", "40000", "");
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 1);
    EXPECT_EQ(state.settings.bgmRepeat, 4);

    FrontEndState fresh;
    fresh.programFolder = folder.path();
    LoadSettings(fresh.settings, fresh.programFolder);
    EXPECT_EQ(fresh.settings.bgmKind, 0);
    EXPECT_EQ(fresh.settings.bgmRepeat, 0);
}

TEST_F(LoadSettingsTest, KindTwoNeedsAnExistingFile)
{
    setValues(" 2", "", folder.file("deleted.mp3"));
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 0);
    EXPECT_EQ(state.settings.bgmFile, "");

    setValues(" 2", "", "");
    state.settings.bgmFile = "/earlier.mp3";
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 0);
    EXPECT_EQ(state.settings.bgmFile, "");

    // A folder is no music file, even named with a trailing "/".
    setValues(" 2", "", folder.path() + "/");
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 0);
    EXPECT_EQ(state.settings.bgmFile, "");
}

TEST_F(LoadSettingsTest, OtherKindsKeepAnExistingFileOnly)
{
    const std::string music = folder.file("a.mp3");
    writeBytes(music, "ID3");
    setValues(" 1", "", music);
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 1);
    EXPECT_EQ(state.settings.bgmFile, music);

    setValues(" 1", "", folder.file("gone.mp3"));
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 1);
    EXPECT_EQ(state.settings.bgmFile, "");
}

TEST_F(LoadSettingsTest, PathLongerThan255BytesIsCutAndThenMissing)
{
    const std::string deep = folder.path() + "/" + std::string(120, 'd') + "/" +
                             std::string(120, 'e');
    std::filesystem::create_directories(deep);
    const std::string music = deep + "/music.mp3";
    writeBytes(music, "ID3");
    ASSERT_GT(music.size(), 255u);
    setValues(" 2", "", music);
    LoadSettings(state.settings, state.programFolder);
    EXPECT_EQ(state.settings.bgmKind, 0);
    EXPECT_EQ(state.settings.bgmFile, "");
}

TEST(FileExists, OnlyReadableFilesCount)
{
    TempFolder folder;
    const std::string file = folder.file("Tamaruka.data");
    EXPECT_FALSE(FileExists(file));
    writeBytes(file, "");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(file + "/"));  // one trailing "/" is dropped
    EXPECT_FALSE(FileExists(file + "//"));
    EXPECT_FALSE(FileExists(folder.path()));
    EXPECT_FALSE(FileExists(folder.path() + "/"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/"));
    ::mkfifo(folder.file("fifo").c_str(), 0600);
    EXPECT_TRUE(FileExists(folder.file("fifo")));  // opened without waiting for a writer
}

TEST(WriteIni, CutsSectionAndKeyNamesTo127Characters)
{
    TempFolder folder;
    const std::string ini = folder.file("t.ini");
    std::string longKey;
    for (int i = 0; i < 130; ++i) longKey += "鍵";
    std::string cutKey;
    for (int i = 0; i < 127; ++i) cutKey += "鍵";
    ASSERT_TRUE(WriteIni(std::string(200, 's'), longKey, "v", ini));
    EXPECT_EQ(ReadIni(std::string(127, 's'), cutKey, ini), "v");
    EXPECT_EQ(ReadIni(std::string(200, 's'), longKey, ini), "");
}

TEST(SettingsPaths, LieBesideTheProgram)
{
    EXPECT_EQ(settingsFilePath("/opt/tamaruka"), "/opt/tamaruka/Tamaruka.ini");
    EXPECT_EQ(rendererFilePath("/opt/tamaruka"), "/opt/tamaruka/Tamaruka.data");
}

}  // namespace
}  // namespace tamaruka
