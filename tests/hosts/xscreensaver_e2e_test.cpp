// The real xscreensaver daemon runs tamaruka from a user's ~/.xscreensaver:
// fireworks over the whole screen at its own size, and nothing left running
// once the screen is unblanked.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "harness/ordinary_user.h"
#include "harness/harness.h"

namespace tamaruka::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class XscreensaverE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists("/usr/bin/xscreensaver")) GTEST_SKIP() << "xscreensaver is not installed";
        ASSERT_TRUE(fs::exists(binDir() + "/tamaruka")) << "build/bin/tamaruka is not built";
        // The daemon launches no display mode as root: run it as an ordinary user.
        user = ordinaryUserWhenRoot();
        // That user may not reach the build folder (a checkout in a private
        // folder), so the programs are installed into the user's home.
        const std::string bin = home + "/bin";
        fs::create_directory(bin);
        for (const char* name : {"tamaruka", "tamaruka-draw"})
            fs::copy_file(binDir() + "/" + name, bin + "/" + name);
        program = bin + "/tamaruka";
        drawing = bin + "/tamaruka-draw";  // what the launcher becomes
        std::ofstream(home + "/.xscreensaver")
            << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
            << "programs: GL: \"Tamaruka\" " << program << " --root \\n\\\n\n";
        giveToUser(user, home);
    }

    std::unique_ptr<ChildProcess> startDaemon() {
        return startAsUser(user, {"-u", "XDG_RUNTIME_DIR", "HOME=" + home, "DISPLAY=" + display.name(),
                                  "xscreensaver", "-no-splash"});
    }

    // xscreensaver-command with one option; its exit code.
    std::optional<int> command(const std::string& option) {
        ChildProcess client("/usr/bin/xscreensaver-command", {option}, {{"DISPLAY", display.name()}});
        return client.waitExit(10s);
    }

    XvfbDisplay display{1280, 1024};
    std::string home = makeTempDir("tamaruka-xscreensaver");
    std::string program;
    std::string drawing;
    std::optional<OrdinaryUser> user;
};

TEST_F(XscreensaverE2E, ActivateShowsFireworksAtTheScreensSizeAndDeactivateEndsIt) {
    std::unique_ptr<ChildProcess> daemon = startDaemon();
    ASSERT_TRUE(waitUntil([&] { return command("-activate") == 0; }, 20s)) << daemon->outputText();
    ASSERT_TRUE(waitUntil([&] { return !liveProcessesOf(drawing).empty(); }, 20s))
        << "the daemon never started tamaruka\n" << daemon->outputText();

    XClient x(display.name());  // a new connection sees the screen as it is now
    EXPECT_EQ(x.screenWidth(), 1280);
    EXPECT_EQ(x.screenHeight(), 1024);
    // Rockets up and bursting, in many colours; a loaded machine may take a while.
    Screenshot shot;
    const bool fireworks = waitUntil([&] {
        shot = x.capture();
        return shot.countBrighterThan(24) > 2000 && shot.distinctColours() > 30;
    }, 20s);
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR")) shot.savePng(std::string(dir) + "/xscreensaver.png");
    EXPECT_TRUE(fireworks) << daemon->outputText();
    ASSERT_EQ(shot.width, 1280);
    EXPECT_LT(shot.countBrighterThan(24), std::size_t(shot.width) * shot.height / 4);  // on a black sky

    ASSERT_EQ(command("-deactivate"), 0);
    EXPECT_TRUE(waitUntil([&] { return liveProcessesOf(drawing).empty(); }, 5s)) << "tamaruka still runs";

    EXPECT_EQ(command("-exit"), 0);
    EXPECT_TRUE(daemon->waitExit(10s).has_value()) << daemon->outputText();
}

}  // namespace
}  // namespace tamaruka::test
