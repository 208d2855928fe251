// End to end: the real Tamaruka.scr /C on the private Xvfb, driven by XTest.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/window_text.h"
#include "tests/support/test_support.h"
#include "tests/ui/x_input.h"

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
// folder, and the user's configuration folder inside it too.
class SettingsDialogE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test::makeTempDir("tamaruka-ui");
        test::copyFrontEnd(folder);
        writeBytes(folder + "/Tamaruka.data", "");
        x.movePointer(40, 40);
    }
    void TearDown() override
    {
        program.reset();
        x.waitForWindowGone("<Tamaruka>", 5s);
        fs::remove_all(folder);
    }

    // The user's own settings file, which the dialog writes, and the
    // system-wide default beside the programs, which it never writes.
    std::string ini() const { return folder + "/config/tamaruka/Tamaruka.ini"; }
    std::string defaultIni() const { return folder + "/Tamaruka.ini"; }

    // Starts /C and waits until the dialog is mapped and painted. With a
    // file-size limit (in 512-byte blocks) it runs under "ulimit -f".
    void openDialog(std::map<std::string, std::string> env = {}, int fileSizeLimit = 0)
    {
        // Qt's file chooser keeps its state under the user's configuration
        // folder: keep that inside the test's folder.
        env.emplace("XDG_CONFIG_HOME", folder + "/config");
        if (fileSizeLimit > 0)
            program = std::make_unique<test::ChildProcess>(
                "/bin/sh",
                std::vector<std::string>{"-c", "ulimit -f " + std::to_string(fileSizeLimit) + "; exec \"$0\" /C",
                                         folder + "/Tamaruka.scr"},
                env);
        else
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

    // The message box's text as a user copies it (Ctrl+C), then closes it
    // with Return; nullopt when no box came.
    std::optional<std::string> copyAndCloseMessageBox()
    {
        // Qt's hidden group leader bears the application's name as well.
        const auto shownBox = [&]() -> std::optional<test::WindowId> {
            for (const test::WindowId w : x.findWindows("Tamaruka"))
                if (x.isMapped(w)) return w;
            return std::nullopt;
        };
        std::optional<test::WindowId> box;
        if (!test::waitUntil([&] { return (box = shownBox()).has_value(); }, 10s)) return std::nullopt;
        const std::optional<std::string> copied = test::copyWindowText(x, *box);
        x.pressKey(XK_Return);
        if (!test::waitUntil([&] { return !shownBox(); }, 5s)) return std::nullopt;
        const std::string rule = "---------------------------\n";
        const std::string head = rule + "Tamaruka\n" + rule;
        const std::string foot = "\n" + rule + "OK   \n" + rule;
        if (!copied || copied->rfind(head, 0) != 0 || copied->size() < head.size() + foot.size() ||
            copied->compare(copied->size() - foot.size(), foot.size(), foot) != 0)
            return copied;  // not an OK box captioned "Tamaruka": compared whole, it fails
        return copied->substr(head.size(), copied->size() - head.size() - foot.size());
    }

    // Kind 2, then "...": the file chooser, once it is painted (mostly its
    // light window colour).
    std::optional<test::WindowId> openChooser()
    {
        clickOn(lblFile);  // kind 2 enables the "..." button
        clickOn(cmdBgm);
        const auto chooser = x.waitForWindow("ﾌｧｲﾙを開く", 10s);
        if (!chooser || !test::waitUntil(
                            [&] { return x.capture(x.geometry(*chooser)).meanBrightness() > 180; }, 10s))
            return std::nullopt;
        return chooser;
    }

    // Picks the only file of a folder in the chooser as a user does: the
    // folder's path typed and entered, then the file taken from the list.
    // (Qt's chooser reads a typed name with a quotation mark as a list of
    // names, so such a file can only be picked from the list.)
    void chooseOnlyFileIn(const std::string& folderPath)
    {
        const std::optional<test::WindowId> chooser = openChooser();
        ASSERT_TRUE(chooser);
        test::typeText(folderPath + "/");
        x.pressKey(XK_Return);  // enters the folder
        std::this_thread::sleep_for(500ms);
        test::pressChord({XK_Shift_L, XK_Tab});  // from the name to the list
        std::this_thread::sleep_for(200ms);
        x.pressKey(XK_Down);   // its first entry becomes current
        x.pressKey(XK_space);  // and selected
        std::this_thread::sleep_for(200ms);
        x.pressKey(XK_Return);
        ASSERT_TRUE(x.waitForWindowGone("ﾌｧｲﾙを開く", 5s) || !x.isMapped(*chooser));
    }

    // Temporary files a write left beside the settings file.
    std::vector<std::string> leftovers() const
    {
        std::vector<std::string> found;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(fs::path(ini()).parent_path(), error))
            if (entry.path().filename().string().rfind(".Tamaruka.ini.", 0) == 0)
                found.push_back(entry.path().filename());
        return found;
    }

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
    EXPECT_FALSE(fs::exists(defaultIni()));
}

TEST_F(SettingsDialogE2E, ConfirmWritesTheUsersOwnFileInANewFolderAndLeavesTheDefaultAlone)
{
    // The system-wide default: CD music, track 3. The user has no folder yet.
    const std::string defaults =
        "[Section]\r\nBGM\x8B\xE6\x95\xAA= 1\r\nBGM\xD8\xCB\xDF\xB0\xC4= 3\r\n";
    writeBytes(defaultIni(), defaults);
    openDialog();
    ASSERT_FALSE(fs::exists(folder + "/config/tamaruka"));
    clickOn(cmdSet);
    ASSERT_TRUE(ended());
    // The default's values, now in the user's own file; the default as it was.
    EXPECT_EQ(fileBytes(ini()), defaults + "BGM\xCC\xA7\xB2\xD9=\r\n");
    EXPECT_EQ(fs::status(folder + "/config/tamaruka").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fileBytes(defaultIni()), defaults);
}

// Settings files that have no usable values: one far beyond the size limit,
// devices that never end, a FIFO. The dialog opens with the defaults at once
// in bounded memory, says so on stderr, refuses to save over them with the
// reason (never "Illegal seek"), and a signal still ends it cleanly.
struct UnusableFile {
    const char* name;
    const char* linkTarget;  // a link to this, or nullptr
    bool fifo;
    const char* reason;
};

class UnusableSettingsFileE2E : public SettingsDialogE2E, public ::testing::WithParamInterface<UnusableFile> {};

TEST_P(UnusableSettingsFileE2E, DefaultsAreShownAndTheFileIsNeverRewritten)
{
    const UnusableFile file = GetParam();
    fs::create_directories(fs::path(ini()).parent_path());
    if (file.linkTarget) {
        fs::create_symlink(file.linkTarget, ini());
    } else if (file.fifo) {
        ASSERT_EQ(::mkfifo(ini().c_str(), 0600), 0);
    } else {
        // 2 MB of short lines after the keys.
        std::ofstream out(ini(), std::ios::binary);
        out << "[Section]\r\nBGM\x8B\xE6\x95\xAA= 1\r\n";
        for (int i = 0; i < 2'000'000 / 13; ++i) out << "; kept line\r\n";
    }
    const auto sizeBefore = file.linkTarget || file.fifo ? 0 : fs::file_size(ini());
    openDialog();
    const long peak = test::processStatusKilobytes(program->pid(), "VmHWM");
    EXPECT_LT(peak, 200 * 1024);
    EXPECT_NE(program->outputText().find("Tamaruka.scr: the settings file " + ini() + " cannot be used (" +
                                         file.reason + "); the default settings apply.\n"),
              std::string::npos)
        << program->outputText();
    EXPECT_TRUE(markerSelected(imgNone));  // the default: no music

    clickOn(lblCd);
    clickOn(cmdSet);
    EXPECT_EQ(copyAndCloseMessageBox(), "設定を保存できませんでした：\n" + ini() + "\n" + file.reason);
    if (file.linkTarget) {
        EXPECT_EQ(fs::read_symlink(ini()), file.linkTarget);
    } else if (file.fifo) {
        EXPECT_EQ(fs::symlink_status(ini()).type(), fs::file_type::fifo);
    } else {
        EXPECT_EQ(fs::file_size(ini()), sizeBefore);
    }
    program->sendSignal(SIGTERM);
    EXPECT_EQ(program->waitExit(5s), 0);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableSettingsFileE2E,
    ::testing::Values(UnusableFile{"TwoMegabytes", nullptr, false, "larger than 1 MiB"},
                      UnusableFile{"LinkToDevZero", "/dev/zero", false, "not a regular file"},
                      UnusableFile{"LinkToDevUrandom", "/dev/urandom", false, "not a regular file"},
                      UnusableFile{"Fifo", nullptr, true, "not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

// Saved as root (sudo -E keeps the user's folders), a link at the settings
// file's place is replaced by a file of its own; the file it named, which
// the user may not even own, keeps its bytes, owner and permissions.
TEST_F(SettingsDialogE2E, SavingReplacesALinkAndNeverWritesThroughIt)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, as the save that followed links did";
    const std::string target = folder + "/someone-elses.conf";
    writeBytes(target, "keep me\n");
    ASSERT_EQ(::chown(target.c_str(), 54321, 54321), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
    // The user's own folder, saved into by root (sudo -E).
    const std::string userFolder = fs::path(ini()).parent_path().string();
    fs::create_directories(userFolder);
    ASSERT_EQ(::chown(userFolder.c_str(), 12345, 12346), 0);
    fs::create_symlink(target, ini());
    openDialog();
    clickOn(lblCd);
    clickOn(cmdSet);
    ASSERT_TRUE(ended());
    EXPECT_EQ(program->waitExit(1s), 0);

    EXPECT_EQ(fileBytes(target), "keep me\n");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 54321u);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(fs::symlink_status(ini()).type(), fs::file_type::regular);
    ASSERT_EQ(::stat(ini().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 12345u) << "the new file is the folder owner's";
    EXPECT_EQ(info.st_gid, 12346u);
    EXPECT_NE(fileBytes(ini()).find("BGM\x8B\xE6\x95\xAA= 1"), std::string::npos) << fileBytes(ini());
}

// SIGTERM while OK saves: the save ends, the program with it (code 0, not by
// the signal), and no temporary file stays beside the settings.
TEST_F(SettingsDialogE2E, SignalDuringTheSaveLeavesNoTemporaryFile)
{
    fs::create_directories(fs::path(ini()).parent_path());
    {
        // Close to the size limit, so that the save takes a while.
        std::ofstream out(ini(), std::ios::binary);
        out << "[Section]\r\nBGM\x8B\xE6\x95\xAA= 0\r\n";
        for (int i = 0; i < 1'000'000 / 13; ++i) out << "; kept line\r\n";
    }
    openDialog();
    clickOn(lblCd);
    clickOn(cmdSet);
    // As soon as the temporary file shows, or the program is gone.
    const auto until = std::chrono::steady_clock::now() + 10s;
    bool during = false;
    while (!during && program->running() && std::chrono::steady_clock::now() < until) {
        during = !leftovers().empty();
        if (!during) std::this_thread::sleep_for(100us);
    }
    program->sendSignal(SIGTERM);
    std::printf("signal sent %s\n", during ? "during the save" : "after the save");
    EXPECT_EQ(program->waitExit(5s), 0);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

// How a save can fail: the folder cannot be made (a file stands in its way),
// or the file-size limit (ulimit -f, 8 blocks of 512 bytes) stops the write.
struct SaveFailure {
    const char* name;
    int fileSizeLimit;
    const char* reason;
};

class SettingsNotSavedE2E : public SettingsDialogE2E, public ::testing::WithParamInterface<SaveFailure> {};

TEST_P(SettingsNotSavedE2E, BoxSaysWhereAndWhyAndTheDialogStaysOpen)
{
    const SaveFailure failure = GetParam();
    fs::create_directories(folder + "/config");
    std::string before;
    if (failure.fileSizeLimit == 0) {
        writeBytes(folder + "/config/tamaruka", "");  // a file where the folder should be
    } else {
        // The user's file, larger than the limit: a rewrite cannot fit.
        fs::create_directories(fs::path(ini()).parent_path());
        before = "[Section]\r\nBGM\x8B\xE6\x95\xAA= 0\r\n";
        for (int i = 0; i < 200; ++i) before += "; a note kept by the user, line " + std::to_string(i) + "\r\n";
        writeBytes(ini(), before);
    }
    openDialog({}, failure.fileSizeLimit);
    clickOn(lblCd);
    clickOn(cmdSet);
    const std::optional<std::string> text = copyAndCloseMessageBox();
    ASSERT_TRUE(text.has_value()) << program->outputText();
    EXPECT_EQ(*text, "設定を保存できませんでした：\n" + ini() + "\n" + failure.reason);

    // Still open and alive: the user may try again or cancel.
    EXPECT_TRUE(program->running());
    EXPECT_TRUE(x.findWindow("<Tamaruka>").has_value());
    clickOn(cmdCan);
    EXPECT_EQ(program->waitExit(10s), 0);
    if (failure.fileSizeLimit > 0) {
        EXPECT_EQ(fileBytes(ini()), before);
    }
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(defaultIni()));
}

INSTANTIATE_TEST_SUITE_P(Failures, SettingsNotSavedE2E,
                         ::testing::Values(SaveFailure{"FolderCannotBeMade", 0, "Not a directory"},
                                           SaveFailure{"FileSizeLimit", 8, "File too large"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsDialogE2E, CancelAndCloseBoxLeaveTheSettingsFileAsItWas)
{
    const std::string before =
        "[Section]\r\nBGM\x8B\xE6\x95\xAA= 1\r\nBGM\xD8\xCB\xDF\xB0\xC4= 3\r\nBGM\xCC\xA7\xB2\xD9=\r\n";
    fs::create_directories(fs::path(ini()).parent_path());
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
    ASSERT_TRUE(openChooser());
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

// Music files the dialog cannot take: a name code page 932 cannot hold, and
// an MP3 path with a double quotation mark, which the music layer's command
// cannot carry.
struct RefusedMusicFile {
    const char* testName;
    const char* fileName;
    const char* reason;
};

class RefusedMusicFileE2E : public SettingsDialogE2E, public ::testing::WithParamInterface<RefusedMusicFile> {};

TEST_P(RefusedMusicFileE2E, BoxSaysWhyAndTheFileIsNotTaken)
{
    const std::string music = folder + "/music";
    fs::create_directories(music);
    const std::string song = music + "/" + GetParam().fileName;
    writeBytes(song, "");
    openDialog();
    chooseOnlyFileIn(music);
    const std::optional<std::string> text = copyAndCloseMessageBox();
    ASSERT_TRUE(text.has_value()) << program->outputText();
    EXPECT_EQ(*text, "このﾌｧｲﾙはBGMにできません：\n" + song + "\n" + GetParam().reason);
    clickOn(cmdSet);
    ASSERT_TRUE(ended());
    const std::string bytes = fileBytes(ini());
    EXPECT_NE(bytes.find("BGM\x8B\xE6\x95\xAA= 2\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("BGM\xCC\xA7\xB2\xD9=\r\n"), std::string::npos) << bytes;  // no file taken
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedMusicFileE2E,
    ::testing::Values(RefusedMusicFile{"NotInCodePage932", "música.mp3",
                                       "ﾌｧｲﾙ名に設定ﾌｧｲﾙ (Shift_JIS) で表せない文字があります。"},
                      RefusedMusicFile{"QuoteInMp3Path", "\"live\".mp3",
                                       "MP3ﾌｧｲﾙのﾊﾟｽに \" があると再生できません。"}),
    [](const auto& info) { return std::string(info.param.testName); });

// A real reparenting window manager (openbox) frames the dialog: the whole
// window, frame included, is centred across and a third of the free height
// down, and both zooms run to and from the frame's rectangle.
TEST_F(SettingsDialogE2E, UnderAWindowManagerTheFramedWindowIsPlacedAndZoomed)
{
    test::ChildProcess windowManager("/usr/bin/openbox", {"--sm-disable"});
    ASSERT_TRUE(test::waitUntil(test::windowManagerRunning, 10s)) << windowManager.outputText();
    test::OverrideRedirectWatcher outlines;
    openDialog();
    const test::Rect frame = x.geometry(test::topLevelAncestor(window));
    const test::Rect client = x.geometry(window);
    std::printf("frame %dx%d at %d,%d around the %dx%d dialog\n", frame.width, frame.height, frame.x,
                frame.y, client.width, client.height);
    ASSERT_GT(frame.height, client.height);  // framed, with a title bar
    EXPECT_EQ(frame.x, (x.screenWidth() - frame.width) / 2);
    EXPECT_EQ(frame.y, (x.screenHeight() - frame.height) / 3);

    const auto same = [](const test::Rect& a, const test::Rect& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    };
    const auto opened = outlines.shownAndGone();
    EXPECT_TRUE(std::any_of(opened.begin(), opened.end(),
                            [&](const auto& places) { return same(places.back(), frame); }))
        << "no opening outline ended on the frame";
    clickOn(cmdCan);
    EXPECT_TRUE(ended());
    const auto closed = outlines.shownAndGone();
    EXPECT_TRUE(std::any_of(closed.begin(), closed.end(),
                            [&](const auto& places) { return same(places.front(), frame); }))
        << "no closing outline started on the frame";

    windowManager.sendSignal(SIGTERM);
    EXPECT_TRUE(windowManager.waitExit(5s).has_value());
    EXPECT_TRUE(test::waitUntil([] { return !test::windowManagerRunning(); }, 5s));
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
