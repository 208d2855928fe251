// End to end: the real Tamaruka.scr /C on the private Xvfb, driven by XTest.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Pixels of a face's middle that stand out from their row: the gradient is
// one colour per row, so what differs is the caption's text.
std::size_t captionPixels(const test::Screenshot& middle)
{
    std::size_t count = 0;
    for (int y = 0; y < middle.height; ++y) {
        std::map<std::tuple<int, int, int>, int> colours;
        for (int x = 0; x < middle.width; ++x) {
            const auto p = middle.at(x, y);
            ++colours[{p.r, p.g, p.b}];
        }
        const auto common = std::max_element(colours.begin(), colours.end(),
                                             [](const auto& a, const auto& b) { return a.second < b.second; })->first;
        for (int x = 0; x < middle.width; ++x) {
            const auto p = middle.at(x, y);
            const int difference = std::abs(p.r - std::get<0>(common)) + std::abs(p.g - std::get<1>(common)) +
                                   std::abs(p.b - std::get<2>(common));
            count += difference > 24 ? 1 : 0;
        }
    }
    return count;
}

// A control's place in client pixels.
struct Place {
    int x, y, width, height;
};
constexpr Place cmdEtc{192, 200, 125, 25};
constexpr Place cmdSet{320, 200, 73, 25};
constexpr Place cmdCan{396, 200, 69, 25};
constexpr Place picC{12, 16, 453, 169};
constexpr Place cmdBgm{picC.x + 36, picC.y + 116, 29, 21};
constexpr Place lblCd{picC.x + 36, picC.y + 56, 43, 13};
constexpr Place lblFile{picC.x + 36, picC.y + 96, 60, 13};
constexpr Place bgmRepeat{picC.x + 92, picC.y + 52, 41, 20};
constexpr Place imgNone{picC.x + 20, picC.y + 76, 13, 13};
constexpr Place imgFile{picC.x + 20, picC.y + 96, 13, 13};

// A copy of the front-end with a renderer file beside it in a temporary
// folder, so that its settings file lands there too.
class SettingsDialogE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test::makeTempDir("tamaruka-ui");
        fs::copy_file(test::binDir() + "/Tamaruka.scr", folder + "/Tamaruka.scr");
        writeBytes(folder + "/Tamaruka.data", "");
        x.movePointer(40, 40);
    }
    void TearDown() override
    {
        program.reset();
        x.waitForWindowGone("<Tamaruka>", 5s);
        fs::remove_all(folder);
    }

    std::string ini() const { return folder + "/Tamaruka.ini"; }

    // Starts /C and waits until the dialog is mapped and painted.
    void openDialog(std::map<std::string, std::string> env = {})
    {
        // Qt's file chooser keeps its state under the user's configuration
        // folder: keep that inside the test's folder.
        env.emplace("XDG_CONFIG_HOME", folder + "/config");
        program = std::make_unique<test::ChildProcess>(folder + "/Tamaruka.scr",
                                                       std::vector<std::string>{"/C"}, env);
        const auto found = x.waitForWindow("<Tamaruka>", 15s);
        ASSERT_TRUE(found) << program->outputText();
        window = *found;
        const test::Rect r = x.geometry(window);
        origin = {r.x, r.y};
        // Painted: navy on the top row, lavender in the middle.
        ASSERT_TRUE(test::waitUntil(
            [&] {
                const test::Screenshot s = x.capture({r.x, r.y, 5, r.height});
                return s.at(2, 0).b == 30 && s.at(2, 0).r == 0 && s.at(2, 121).r > 200;
            },
            5s));
        // Settled: focus and first paints done, the picture holds still.
        test::Screenshot last = x.capture(r);
        ASSERT_TRUE(test::waitUntil(
            [&] {
                std::this_thread::sleep_for(150ms);
                test::Screenshot now = x.capture(r);
                const bool still = now.rgb == last.rgb;
                last = std::move(now);
                return still;
            },
            5s));
    }

    test::Screenshot shoot(const Place& p) { return x.capture({origin.x + p.x, origin.y + p.y, p.width, p.height}); }
    void moveTo(const Place& p) { x.movePointer(origin.x + p.x + p.width / 2, origin.y + p.y + p.height / 2); }
    void clickOn(const Place& p, int button = 1)
    {
        moveTo(p);
        x.click(button);
    }
    bool markerSelected(const Place& image)
    {
        const auto centre = shoot(image).at(image.width / 2, image.height / 2);
        return centre.b > centre.r + 60;  // the blue square of the selected marker
    }
    bool ended() { return program->waitExit(10s).has_value(); }

    std::string folder;
    test::XClient x;
    std::unique_ptr<test::ChildProcess> program;
    test::WindowId window = 0;
    struct {
        int x = 0, y = 0;
    } origin;
};

TEST_F(SettingsDialogE2E, ShowsCaptionedDialogWithBandsAndFourButtons)
{
    openDialog();
    const test::Rect r = x.geometry(window);
    EXPECT_EQ(x.title(window), "<Tamaruka>");
    EXPECT_EQ(r.width, 479);
    EXPECT_EQ(r.height, 243);
    // Centred across, a third of the free height down.
    EXPECT_EQ(r.x, (x.screenWidth() - 479) / 2);
    EXPECT_EQ(r.y, (x.screenHeight() - 243) / 3);

    const test::Screenshot shot = x.capture({r.x, r.y, r.width, r.height});
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR"))
        shot.savePng(std::string(dir) + "/dialog.png");
    // Window bands: navy at the top edge, lavender in the middle, darker below.
    EXPECT_EQ(shot.at(4, 0).r, 0);
    EXPECT_EQ(shot.at(4, 0).b, 30);
    EXPECT_EQ(shot.at(4, 121).r, 220);
    EXPECT_EQ(shot.at(4, 121).b, 250);
    EXPECT_LT(shot.at(4, 240).r, 30);
    // The panel's own bands: navy at its top, lavender at its middle.
    EXPECT_EQ(shot.at(picC.x + 300, picC.y).b, 30);
    EXPECT_GT(shot.at(picC.x + 300, picC.y + 84).r, 215);

    // Each button: a light face with a dark frame and a caption drawn over it.
    for (const Place& p : {cmdEtc, cmdSet, cmdCan, cmdBgm}) {
        const test::Screenshot face = shot.crop({p.x, p.y, p.width, p.height});
        const test::Screenshot middle = face.crop({6, 5, p.width - 12, p.height - 10});
        EXPECT_GT(face.countBrighterThan(200), static_cast<std::size_t>(p.width * p.height / 2));
        EXPECT_GT(middle.distinctColours(), 8u) << "no caption at x " << p.x;
        EXPECT_GT(captionPixels(middle), 5u) << "no caption at x " << p.x;
    }
    // Kind 0 with no settings file: "無し" marked, the file button disabled.
    EXPECT_TRUE(markerSelected(imgNone));
    EXPECT_FALSE(markerSelected(imgFile));
    clickOn(cmdCan);
    EXPECT_TRUE(ended());
}

TEST_F(SettingsDialogE2E, LooksTheSameAfterBeingCoveredAndUncovered)
{
    openDialog();
    const test::Rect r = x.geometry(window);
    const test::Screenshot before = x.capture(r);
    const test::WindowId cover = x.createWindow("cover", x.screenWidth(), x.screenHeight(), true, 0xFF0000);
    ASSERT_TRUE(test::waitUntil([&] { return x.capture(r).at(4, 121).r == 255; }, 5s));
    x.destroyWindow(cover);
    EXPECT_TRUE(test::waitUntil([&] { return x.capture(r).rgb == before.rgb; }, 5s));
    clickOn(cmdCan);
    EXPECT_TRUE(ended());
}

TEST_F(SettingsDialogE2E, MusicCdTrackSevenConfirmWritesSettingsAndEnds)
{
    openDialog();
    clickOn(lblCd);
    // Into the text part of the box, left of its drop-down arrow.
    x.movePointer(origin.x + bgmRepeat.x + 8, origin.y + bgmRepeat.y + bgmRepeat.height / 2);
    x.click(1);
    x.pressKey(XK_7);
    clickOn(cmdSet);
    ASSERT_TRUE(ended());
    const std::string bytes = fileBytes(ini());
    EXPECT_NE(bytes.find("[Section]"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\x8B\xE6\x95\xAA= 1"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\xD8\xCB\xDF\xB0\xC4= 7"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\xCC\xA7\xB2\xD9="), std::string::npos) << bytes;
}

TEST_F(SettingsDialogE2E, CancelAndCloseBoxLeaveTheSettingsFileAsItWas)
{
    const std::string before =
        "[Section]\r\nBGM\x8B\xE6\x95\xAA= 1\r\nBGM\xD8\xCB\xDF\xB0\xC4= 3\r\nBGM\xCC\xA7\xB2\xD9=\r\n";
    writeBytes(ini(), before);
    openDialog();
    clickOn(lblFile);  // changes the kind in memory only
    clickOn(cmdCan);
    ASSERT_TRUE(ended());
    EXPECT_EQ(fileBytes(ini()), before);

    openDialog();
    x.closeWindow(window);
    ASSERT_TRUE(ended());
    EXPECT_EQ(fileBytes(ini()), before);
}

TEST_F(SettingsDialogE2E, HoveringAButtonChangesItsFaceAndLeavingRestoresIt)
{
    openDialog();
    const test::Screenshot idle = shoot(cmdSet);
    moveTo(cmdSet);
    EXPECT_TRUE(test::waitUntil([&] { return shoot(cmdSet).rgb != idle.rgb; }, 3s));
    // The pointer rests on the caption, which counts as the button: several
    // timer periods later the hover look is still there.
    std::this_thread::sleep_for(350ms);
    EXPECT_NE(shoot(cmdSet).rgb, idle.rgb);
    x.movePointer(origin.x + 250, origin.y + 120);  // the panel, away from the button
    EXPECT_TRUE(test::waitUntil([&] { return shoot(cmdSet).rgb == idle.rgb; }, 3s));
    clickOn(cmdCan);
    EXPECT_TRUE(ended());
}

TEST_F(SettingsDialogE2E, MarkerAndLabelSelectTheKindWithAnyButton)
{
    openDialog();
    clickOn(lblFile, 3);  // right button on the label
    EXPECT_TRUE(test::waitUntil([&] { return markerSelected(imgFile) && !markerSelected(imgNone); }, 3s));
    clickOn(imgNone, 1);  // left button on the marker
    EXPECT_TRUE(test::waitUntil([&] { return markerSelected(imgNone) && !markerSelected(imgFile); }, 3s));
    clickOn(cmdSet);
    ASSERT_TRUE(ended());
    EXPECT_NE(fileBytes(ini()).find("BGM\x8B\xE6\x95\xAA= 0"), std::string::npos);
}

TEST_F(SettingsDialogE2E, FileChosenInTheChooserIsWrittenOnConfirm)
{
    // A name typed key by key: lower-case letters, digits, "-", "." and "/"
    // need no shift on the server's keyboard map.
    const std::string music = "/tmp/tamaruka-chooser-" + std::to_string(getpid());
    fs::create_directories(music);
    // Gone however the test ends.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removeMusic(
        &music, [](const std::string* dir) { fs::remove_all(*dir); });
    const std::string song = music + "/song.mp3";
    writeBytes(song, "");
    openDialog();
    clickOn(lblFile);  // kind 2 enables the "..." button
    clickOn(cmdBgm);
    const auto chooser = x.waitForWindow("ﾌｧｲﾙを開く", 10s);
    ASSERT_TRUE(chooser);
    // Ready once painted: mostly the chooser's light window colour.
    ASSERT_TRUE(test::waitUntil(
        [&] { return x.capture(x.geometry(*chooser)).meanBrightness() > 180; }, 10s));
    for (char c : song)
        x.pressKey(static_cast<unsigned char>(c));
    // The first Return may only close the name completer's list.
    for (int attempt = 0; attempt < 3 && !x.waitForWindowGone("ﾌｧｲﾙを開く", 2s); ++attempt)
        x.pressKey(XK_Return);
    ASSERT_FALSE(x.findWindow("ﾌｧｲﾙを開く") && x.isMapped(*x.findWindow("ﾌｧｲﾙを開く")));
    clickOn(cmdSet);
    ASSERT_TRUE(ended());
    const std::string bytes = fileBytes(ini());
    EXPECT_NE(bytes.find("BGM\x8B\xE6\x95\xAA= 2"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\xCC\xA7\xB2\xD9=" + song), std::string::npos) << bytes;
    // The chooser's own state stayed inside the test's folder.
    EXPECT_TRUE(fs::exists(folder + "/config/QtProject.conf"));
}

TEST_F(SettingsDialogE2E, HomePageButtonHandsTheAddressToTheDesktop)
{
    // A stand-in for the desktop's opener that notes what it was given.
    const std::string opener = folder + "/bin";
    fs::create_directory(opener);
    writeBytes(opener + "/xdg-open", "#!/bin/sh\necho \"$@\" > \"" + folder + "/opened.txt\"\n");
    fs::permissions(opener + "/xdg-open", fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    openDialog({{"PATH", opener + ":" + (path ? path : "/usr/bin:/bin")}});
    clickOn(cmdEtc);
    EXPECT_TRUE(test::waitUntil([&] { return fs::exists(folder + "/opened.txt"); }, 5s));
    EXPECT_EQ(fileBytes(folder + "/opened.txt"), std::string(TAMARUKA_HOME_PAGE) + "\n");
    EXPECT_TRUE(x.findWindow("<Tamaruka>").has_value());  // the dialog stays open
    clickOn(cmdCan);
    EXPECT_TRUE(ended());
    EXPECT_FALSE(fs::exists(ini()));
}

}  // namespace
}  // namespace tamaruka
