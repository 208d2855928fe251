// Tamaruka.scr /S under signals, failing renderers, planted links and sources
// that never answer, end to end on a private Xvfb.
#include <X11/keysym.h>
#include <sys/stat.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/support/window_text.h"
#include "tests/support/saver_install.h"

namespace tamaruka::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int StartX = 512;
constexpr int StartY = 384;

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class SaverHoldUpE2E : public ::testing::Test {
protected:
    void SetUp() override { x.movePointer(StartX, StartY); }
    void TearDown() override {
        if (saver && saver->running()) saver->sendSignal(SIGKILL);
        install.killRenderers();
        EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
    }

    // Starts the saver and waits until the renderer's window is up.
    void startSaver(std::map<std::string, std::string> env = {}) {
        saver = install.start({"/S"}, std::move(env));
        ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s).has_value()) << saver->outputText();
        ASSERT_TRUE(install.rendererRunning());
    }

    // The text of the front-end's message box, copied as a user would.
    std::optional<std::string> copyMessageBox() {
        const auto box = x.waitForWindow("Tamaruka", 20s);
        if (!box) return std::nullopt;
        return copyWindowText(x, *box);
    }

    // The toolkit keeps an unmapped window of the application's name; the
    // box is mapped.
    bool messageBoxShown() {
        for (WindowId window : x.findWindows("Tamaruka"))
            if (x.isMapped(window)) return true;
        return false;
    }

    XClient x;
    SaverInstall install;
    std::unique_ptr<ChildProcess> saver;
};

// A host ends the saver with a signal: the renderer goes with the front-end,
// and the front-end still runs its end sequence (exit code 0, not a death).
class SaverSignalE2E : public SaverHoldUpE2E, public ::testing::WithParamInterface<int> {};

TEST_P(SaverSignalE2E, SignalEndsFrontEndAndRenderer) {
    startSaver();
    saver->sendSignal(GetParam());
    EXPECT_EQ(saver->waitExit(5s), 0);
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
    EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 5s));
    EXPECT_FALSE(x.findWindow("Kirabo_Main").has_value());
}

INSTANTIATE_TEST_SUITE_P(Signals, SaverSignalE2E, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// A host stops the saver or the preview the moment it has started it (the
// user moved as the saver came on), even while the program still loads its
// libraries: the signal is handled all the same, code 0 and not a death by the
// signal, and neither the renderer nor a window stays behind.
class SignalAtStartE2E : public SaverHoldUpE2E,
                         public ::testing::WithParamInterface<std::tuple<const char*, int, int>> {};

TEST_P(SignalAtStartE2E, EndsByHandlingIt) {
    const auto [mode, signal, delayMs] = GetParam();
    std::vector<std::string> args{mode};
    if (mode == std::string("/P"))
        args.push_back(std::to_string(x.createWindow("preview host", 152, 112, true, 0x808080)));
    saver = install.start(args);
    // The start is the program's own: once the child runs Tamaruka.scr (the
    // launcher, or already the front-end it becomes), no longer the test's code.
    const std::string exe = "/proc/" + std::to_string(saver->pid()) + "/exe";
    const auto runsTheProgram = [&] {
        std::error_code error;
        const fs::path running = fs::read_symlink(exe, error);
        return (running == install.folder() + "/Tamaruka.scr" || running == install.folder() + "/tamaruka-frontend") &&
               runsOwnCode(saver->pid());
    };
    const auto spawned = Clock::now();
    while (!runsTheProgram()) {
        ASSERT_LT(Clock::now() - spawned, 5s) << saver->outputText();
        std::this_thread::sleep_for(50us);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    saver->sendSignal(signal);
    EXPECT_EQ(saver->waitExit(5s), 0) << saver->outputText();
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
    EXPECT_TRUE(x.waitForWindowGone("Kirabo_Main", 5s));
    EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 5s));
}

INSTANTIATE_TEST_SUITE_P(Delays, SignalAtStartE2E,
                         ::testing::Combine(::testing::Values("/S", "/P"), ::testing::Values(SIGTERM, SIGHUP),
                                            ::testing::Values(0, 2, 5, 10, 20)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) + 1) + "_" +
                                    sigabbrev_np(std::get<1>(info.param)) + "_After" +
                                    std::to_string(std::get<2>(info.param)) + "ms";
                         });

// Settings that never end (a link to a device): the run starts with the
// default settings at once, in bounded memory, says why on stderr, and
// SIGTERM still ends it.
class EndlessSettingsE2E : public SaverHoldUpE2E, public ::testing::WithParamInterface<const char*> {};

TEST_P(EndlessSettingsE2E, RunStartsWithTheDefaults) {
    const std::string ini = install.folder() + "/Tamaruka.ini";
    fs::create_symlink(GetParam(), ini);
    startSaver();
    const long peak = processStatusKilobytes(saver->pid(), "VmHWM");
    std::printf("%s: front-end peak memory %ld kB\n", GetParam(), peak);
    EXPECT_LT(peak, 200 * 1024);
    EXPECT_NE(saver->outputText().find("Tamaruka.scr: the settings file " + ini +
                                       " cannot be used (not a regular file); the default settings apply.\n"),
              std::string::npos)
        << saver->outputText();
    saver->sendSignal(SIGTERM);
    EXPECT_EQ(saver->waitExit(5s), 0);
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
}

INSTANTIATE_TEST_SUITE_P(Devices, EndlessSettingsE2E, ::testing::Values("/dev/zero", "/dev/urandom"),
                         [](const auto& info) { return std::string(info.param + 5); });

// Without a session bus (xautolock, a session from .xinitrc) neither the run
// nor the renderer on its own may leave a bus of its own (dbus-launch,
// dbus-daemon) behind. A display of its own, so that no bus an earlier run
// left on the shared one is reused.
class NoSessionBusE2E : public SaverHoldUpE2E, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(NoSessionBusE2E, NoProcessOutlivesTheRun) {
    const std::vector<std::string> command = GetParam();
    ScopedUnsetEnv noBus("DBUS_SESSION_BUS_ADDRESS");
    XvfbDisplay display;
    XClient own(display.name());
    const std::string runtime = makeTempDir("tamaruka-runtime");
    const std::string mark = install.folder();  // every descendant inherits the environment
    saver = std::make_unique<ChildProcess>(
        install.folder() + "/" + command[0], std::vector<std::string>(command.begin() + 1, command.end()),
        std::map<std::string, std::string>{{"DISPLAY", display.name()}, {"XDG_RUNTIME_DIR", runtime},
                                           {"XDG_CACHE_HOME", install.cacheFolder()}, {"TAMARUKA_TEST_RUN", mark}});
    ASSERT_TRUE(own.waitForWindow("--Fireworks--", 20s).has_value()) << saver->outputText();
    saver->sendSignal(SIGTERM);
    ASSERT_EQ(saver->waitExit(5s), 0) << saver->outputText();
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
    std::this_thread::sleep_for(500ms);  // a daemon's parent may still be on its way out
    EXPECT_EQ(processesWithEnvironment("TAMARUKA_TEST_RUN=" + mark), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Programs, NoSessionBusE2E,
                         ::testing::Values(std::vector<std::string>{"Tamaruka.scr", "/S"},
                                           std::vector<std::string>{"Tamaruka.data"}),
                         [](const auto& info) { return info.index == 0 ? "Saver" : "Renderer"; });

TEST_F(SaverHoldUpE2E, KilledFrontEndTakesTheRendererWithIt) {
    startSaver();
    saver->sendSignal(SIGKILL);
    EXPECT_EQ(saver->waitExit(5s), 128 + SIGKILL);
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
    EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 5s));
}

TEST_F(SaverHoldUpE2E, RendererEndedByTheUserIsReapedAndTheRunWatchesOn) {
    startSaver();
    x.pressKey(XK_Escape);
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 10s));
    // Reaped by the run's next watch, however busy the machine is.
    EXPECT_TRUE(waitUntil([&] { return zombieChildren(saver->pid()).empty(); }, 5s));
    EXPECT_TRUE(saver->running());  // exit code 0: nothing to report
    EXPECT_FALSE(messageBoxShown());
    x.movePointer(StartX + 40, StartY + 40);
    EXPECT_EQ(saver->waitExit(5s), 0);
}

// A renderer that cannot show anything: the user is told in the front-end's
// box, and closing it ends the run.
struct BrokenRenderer {
    const char* name;
    std::string content;
    bool executable;
    std::string message;
};

class BrokenRendererE2E : public SaverHoldUpE2E, public ::testing::WithParamInterface<BrokenRenderer> {};

TEST_P(BrokenRendererE2E, IsReportedAndTheRunEnds) {
    install.replaceRenderer(GetParam().content, GetParam().executable);
    saver = install.start({"/S"});
    const std::optional<std::string> copied = copyMessageBox();
    ASSERT_TRUE(copied.has_value()) << saver->outputText();
    const std::string rule = "---------------------------\n";
    EXPECT_EQ(*copied, rule + "Tamaruka\n" + rule + GetParam().message + "\n" + rule + "OK   \n" + rule);
    x.pressKey(XK_Return);
    EXPECT_EQ(saver->waitExit(5s), 0);
    EXPECT_TRUE(zombieChildren(saver->pid()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, BrokenRendererE2E,
    ::testing::Values(
        BrokenRenderer{"NotExecutable", "renderer", false, "Tamaruka.dataを起動できません！\nPermission denied"},
        BrokenRenderer{"ExitsWithAFailure", "#!/bin/sh\nexit 1\n", true, "Tamaruka.dataが異常終了しました！\n終了コード 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaverHoldUpE2E, RendererThatEndsNormallyAtOnceLeavesTheRunWatching) {
    install.replaceRenderer("#!/bin/sh\nexit 0\n", true);
    saver = install.start({"/S"});
    ASSERT_TRUE(x.waitForWindow("Kirabo_Main", 20s, false).has_value()) << saver->outputText();
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(saver->running());
    EXPECT_FALSE(messageBoxShown());
    x.movePointer(StartX - 40, StartY + 40);
    EXPECT_EQ(saver->waitExit(5s), 0);
}

// A link planted at the sprite's path is replaced; the file it named keeps
// its content.
TEST_F(SaverHoldUpE2E, SpriteReplacesALinkNeverItsTarget) {
    const std::string victim = install.folder() + "/precious.txt";
    std::ofstream(victim) << "keep me";
    fs::create_directories(fs::path(install.spriteFile()).parent_path());
    fs::create_symlink(victim, install.spriteFile());
    startSaver();
    EXPECT_EQ(readFile(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(install.spriteFile()));
    EXPECT_EQ(readFile(install.spriteFile()).substr(0, 2), "BM");
    saver->sendSignal(SIGTERM);
    EXPECT_EQ(saver->waitExit(5s), 0);
}

// Under a file-size limit smaller than the sprite, the write fails like any
// other: the old file stays, no temporary file is left, the run goes on.
TEST_F(SaverHoldUpE2E, SpriteWriteBeyondTheFileSizeLimitKeepsTheOldFile) {
    const std::string folder = fs::path(install.spriteFile()).parent_path();
    fs::create_directories(folder);
    std::ofstream(install.spriteFile()) << "old sprite";
    saver = std::make_unique<ChildProcess>(
        "/usr/bin/prlimit", std::vector<std::string>{"--fsize=1000", install.folder() + "/Tamaruka.scr", "/S"},
        std::map<std::string, std::string>{{"XDG_CACHE_HOME", install.cacheFolder()}});
    ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s, false).has_value()) << saver->outputText();
    EXPECT_TRUE(saver->running());
    EXPECT_EQ(readFile(install.spriteFile()), "old sprite");
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename(), "Fireworks.bmp");  // no temporary file left
    saver->sendSignal(SIGTERM);
    EXPECT_EQ(saver->waitExit(5s), 0);
}

// A user without a usable cache folder: no HOME and no password entry, a
// HOME that does not exist, or a cache folder the user cannot write. The
// sprite goes to the runtime folder only when it is the user's own and
// private; a folder others can write is never used, and then the run goes on
// without the file and says so. The renderer agrees on the place: it finds
// the file, or shows its "cannot open" box.
enum class Home { None, Nonexistent, UnwritableCache };

struct HomelessUser {
    const char* name;
    int runtimeMode;  // 0: no XDG_RUNTIME_DIR
    bool spriteWritten;
    Home home = Home::None;
};

class HomelessUserE2E : public SaverHoldUpE2E, public ::testing::WithParamInterface<HomelessUser> {};

TEST_P(HomelessUserE2E, SpriteGoesOnlyToAPrivateFolder) {
    constexpr int nobodyKnows = 54321;  // a uid without a password entry
    ASSERT_EQ(getpwuid(nobodyKnows), nullptr);
    const std::string shared = "/tmp/.cache/tamaruka/Fireworks.bmp";
    std::error_code error;
    const bool sharedBefore = fs::exists(shared, error);
    const auto sharedTime = sharedBefore ? fs::last_write_time(shared, error) : fs::file_time_type{};
    fs::permissions(install.folder(), fs::perms(0755));

    std::string runtime;
    if (GetParam().runtimeMode != 0) {
        runtime = install.folder() + "/runtime";
        fs::create_directory(runtime);
        ASSERT_EQ(::chown(runtime.c_str(), nobodyKnows, nobodyKnows), 0);
        ASSERT_EQ(::chmod(runtime.c_str(), static_cast<mode_t>(GetParam().runtimeMode)), 0);
    }
    std::string home;
    if (GetParam().home == Home::Nonexistent) home = "/nonexistent";
    if (GetParam().home == Home::UnwritableCache) {
        home = install.folder() + "/home";  // root's, as is its cache folder
        fs::create_directories(home + "/.cache");
    }
    saver = std::make_unique<ChildProcess>(
        "/usr/bin/setpriv",
        std::vector<std::string>{"--reuid=54321", "--regid=54321", "--clear-groups", install.folder() + "/Tamaruka.scr", "/S"},
        std::map<std::string, std::string>{{"HOME", home}, {"XDG_CACHE_HOME", ""}, {"XDG_RUNTIME_DIR", runtime}});
    ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s, false).has_value()) << saver->outputText();

    const std::string inRuntime = runtime + "/tamaruka/Fireworks.bmp";
    if (GetParam().spriteWritten) {
        EXPECT_EQ(readFile(inRuntime).substr(0, 2), "BM");
        std::this_thread::sleep_for(1s);
        EXPECT_FALSE(x.findWindow("Error").has_value());
    } else {
        EXPECT_TRUE(x.waitForWindow("Error", 20s).has_value());
        EXPECT_NE(saver->outputText().find("Tamaruka.scr: no private folder for the sprite file"), std::string::npos)
            << saver->outputText();
        if (!runtime.empty()) {
            EXPECT_FALSE(fs::exists(inRuntime, error));
        }
    }
    EXPECT_EQ(fs::exists(shared, error), sharedBefore);
    if (sharedBefore) {
        EXPECT_EQ(fs::last_write_time(shared, error), sharedTime);
    }
    saver->sendSignal(SIGTERM);
    EXPECT_EQ(saver->waitExit(5s), 0);
    EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
}

INSTANTIATE_TEST_SUITE_P(RuntimeFolders, HomelessUserE2E,
                         ::testing::Values(HomelessUser{"NoRuntimeFolder", 0, false},
                                           HomelessUser{"SharedRuntimeFolder", 01777, false},
                                           HomelessUser{"PrivateRuntimeFolder", 0700, true},
                                           HomelessUser{"HomeThatDoesNotExist", 0700, true, Home::Nonexistent},
                                           HomelessUser{"CacheThatCannotBeWritten", 0700, true, Home::UnwritableCache}),
                         [](const auto& info) { return std::string(info.param.name); });

// A CD source that would block every open: the front-end's thread never
// waits on it for long, so the run still ends on the pointer and on SIGTERM.
// The source is a FIFO itself, or a disc image whose data file is one.
struct BlockingCd {
    const char* name;
    bool image;
    bool endByPointer;
};

class BlockingCdE2E : public SaverHoldUpE2E, public ::testing::WithParamInterface<BlockingCd> {};

TEST_P(BlockingCdE2E, RunStillEnds) {
    const std::string fifo = install.folder() + "/disc.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string source = fifo;
    if (GetParam().image) {
        source = install.folder() + "/disc.cue";
        std::ofstream(source) << "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    }
    install.writeSettings(1, 0, "");
    startSaver({{"TAMARUKA_CDROM", source}, {"SDL_AUDIODRIVER", "dummy"}});
    std::this_thread::sleep_for(600ms);  // a few CD watch ticks
    if (GetParam().endByPointer) {
        x.movePointer(StartX + 50, StartY + 50);
        EXPECT_EQ(saver->waitExit(5s), 0);
    } else {
        saver->sendSignal(SIGTERM);
        EXPECT_EQ(saver->waitExit(5s), 0);
        EXPECT_TRUE(waitUntil([&] { return !install.rendererRunning(); }, 5s));
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, BlockingCdE2E,
                         ::testing::Values(BlockingCd{"FifoThenPointer", false, true},
                                           BlockingCd{"FifoThenSigterm", false, false},
                                           BlockingCd{"FifoImageThenSigterm", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Two runs started at the same moment: one renderer, one front-end left.
TEST_F(SaverHoldUpE2E, TwoRunsStartedTogetherRunOnce) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        auto first = install.start({"/S"});
        auto second = install.start({"/S"});
        ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s).has_value());
        ASSERT_TRUE(waitUntil([&] { return !first->running() || !second->running(); }, 10s));
        std::this_thread::sleep_for(1s);
        EXPECT_EQ(install.rendererProcesses().size(), 1u);
        EXPECT_EQ(x.findWindows("--Fireworks--").size(), 1u);
        EXPECT_NE(first->running(), second->running());
        ChildProcess& winner = first->running() ? *first : *second;
        ChildProcess& loser = first->running() ? *second : *first;
        EXPECT_EQ(loser.waitExit(1s), 0);
        winner.sendSignal(SIGTERM);
        EXPECT_EQ(winner.waitExit(5s), 0);
        EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
    }
}

}  // namespace
}  // namespace tamaruka::test
