// The music lock: one holder per user and display, in the user's own folders,
// free again when its holder is killed.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "music/music_lock.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

// Sets or unsets an environment variable for one test and restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class MusicLockTest : public ::testing::Test {
protected:
    std::string runtime = test::makeTempDir("tamaruka-lock");
    ScopedEnv runtimeEnv{"XDG_RUNTIME_DIR", runtime.c_str()};
};

TEST_F(MusicLockTest, PathIsPerDisplayInTheRuntimeFolderElseTheUsersCache) {
    EXPECT_EQ(musicLockPath(":0"), runtime + "/tamaruka-music-_0.lock");
    EXPECT_EQ(musicLockPath(":0.1"), runtime + "/tamaruka-music-_0.lock");  // another screen, same display
    EXPECT_EQ(musicLockPath("host/x:10.0"), runtime + "/tamaruka-music-host_x_10.lock");
    EXPECT_EQ(musicLockPath(""), runtime + "/tamaruka-music-default.lock");

    const std::string cache = test::makeTempDir("tamaruka-cache");
    ScopedEnv cacheEnv("XDG_CACHE_HOME", cache.c_str());
    const std::string notAFolder = runtime + "/not-a-folder";
    std::ofstream(notAFolder) << "x";
    // Unset, relative, or not a folder this user can write.
    for (const char* unusable : {static_cast<const char*>(nullptr), "relative/run", notAFolder.c_str()}) {
        ScopedEnv noRuntime("XDG_RUNTIME_DIR", unusable);
        EXPECT_EQ(musicLockPath(":1"), cache + "/tamaruka/tamaruka-music-_1.lock");
        // The folder is made when missing, and the lock works there.
        EXPECT_NE(MusicLock::take(":1"), nullptr);
        EXPECT_TRUE(std::filesystem::exists(cache + "/tamaruka/tamaruka-music-_1.lock"));
    }
}

TEST_F(MusicLockTest, SecondTakerOnTheSameDisplayIsRefusedUntilTheFirstLetsGo) {
    std::unique_ptr<MusicLock> first = MusicLock::take(":5");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(MusicLock::take(":5"), nullptr);
    EXPECT_EQ(MusicLock::take(":5.1"), nullptr);
    EXPECT_NE(MusicLock::take(":6"), nullptr);  // another display has its own
    first.reset();
    EXPECT_NE(MusicLock::take(":5"), nullptr);
}

TEST_F(MusicLockTest, NoLockAndSoNoMusicWhenNoFolderCanBeUsed) {
    const std::string file = runtime + "/not-a-folder";
    std::ofstream(file) << "x";
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv blockedCache("XDG_CACHE_HOME", file.c_str());
    EXPECT_EQ(MusicLock::take(":0"), nullptr);
}

TEST_F(MusicLockTest, AKilledHolderNeverBlocksTheNext) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        std::unique_ptr<MusicLock> lock = MusicLock::take(":7");
        const char taken = lock ? 'y' : 'n';
        (void)!write(ready[1], &taken, 1);
        for (;;) pause();
    }
    close(ready[1]);
    char taken = 0;
    ASSERT_EQ(read(ready[0], &taken, 1), 1);
    close(ready[0]);
    EXPECT_EQ(taken, 'y');
    EXPECT_EQ(MusicLock::take(":7"), nullptr);

    kill(holder, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_NE(MusicLock::take(":7"), nullptr);
}

}  // namespace
}  // namespace tamaruka
