// The real xscreensaver daemon runs tamaruka from a user's ~/.xscreensaver:
// fireworks over the whole screen at its own size, and nothing left running
// once the screen is unblanked.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace tamaruka::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class XscreensaverE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists("/usr/bin/xscreensaver")) GTEST_SKIP() << "xscreensaver is not installed";
        ASSERT_TRUE(fs::exists(binDir() + "/tamaruka")) << "build/bin/tamaruka is not built";
        program = fs::canonical(binDir() + "/tamaruka").string();
        // The daemon launches no display mode as root: run it as an ordinary user.
        if (::getuid() == 0) {
            const passwd* user = ::getpwnam("nobody");
            if (!user) GTEST_SKIP() << "no ordinary user to run xscreensaver as";
            userName = user->pw_name;
            uid = user->pw_uid;
            gid = user->pw_gid;
        }
        std::ofstream(home + "/.xscreensaver")
            << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
            << "programs: GL: \"Tamaruka\" " << program << " --root \\n\\\n\n";
        if (!userName.empty()) {
            for (const auto& entry : fs::recursive_directory_iterator(home))
                ASSERT_EQ(::chown(entry.path().c_str(), uid, gid), 0);
            ASSERT_EQ(::chown(home.c_str(), uid, gid), 0);
        }
    }

    std::unique_ptr<ChildProcess> startDaemon() {
        std::vector<std::string> command = {"env", "-u", "XDG_RUNTIME_DIR", "HOME=" + home,
                                            "DISPLAY=" + display.name(), "xscreensaver", "-no-splash"};
        if (userName.empty()) return std::make_unique<ChildProcess>("/usr/bin/env", std::vector<std::string>(command.begin() + 1, command.end()));
        command.insert(command.begin(), {"-u", userName, "--"});
        return std::make_unique<ChildProcess>("/usr/sbin/runuser", command);
    }

    // xscreensaver-command with one option; its exit code.
    std::optional<int> command(const std::string& option) {
        ChildProcess client("/usr/bin/xscreensaver-command", {option}, {{"DISPLAY", display.name()}});
        return client.waitExit(10s);
    }

    XvfbDisplay display{1280, 1024};
    std::string home = makeTempDir("tamaruka-xscreensaver");
    std::string program;
    std::string userName;
    uid_t uid = 0;
    gid_t gid = 0;
};

TEST_F(XscreensaverE2E, ActivateShowsFireworksAtTheScreensSizeAndDeactivateEndsIt) {
    std::unique_ptr<ChildProcess> daemon = startDaemon();
    ASSERT_TRUE(waitUntil([&] { return command("-activate") == 0; }, 20s)) << daemon->outputText();
    ASSERT_TRUE(waitUntil([&] { return !liveProcessesOf(program).empty(); }, 20s))
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
    EXPECT_TRUE(waitUntil([&] { return liveProcessesOf(program).empty(); }, 5s)) << "tamaruka still runs";

    EXPECT_EQ(command("-exit"), 0);
    EXPECT_TRUE(daemon->waitExit(10s).has_value()) << daemon->outputText();
}

}  // namespace
}  // namespace tamaruka::test
