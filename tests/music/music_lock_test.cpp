// The music lock: one holder per user and display, in the user's own folders,
// free again when its holder is killed.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "music/display_name.h"
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

// The lock, or nullptr; a failure other than another holder fails the test.
std::unique_ptr<MusicLock> take(const std::string& display) {
    std::string failure;
    std::unique_ptr<MusicLock> lock = MusicLock::take(display, failure);
    EXPECT_EQ(failure, "");
    return lock;
}

class MusicLockTest : public ::testing::Test {
protected:
    std::string runtime = test::makeTempDir("tamaruka-lock");
    ScopedEnv runtimeEnv{"XDG_RUNTIME_DIR", runtime.c_str()};
};

TEST_F(MusicLockTest, PathIsPerDisplayInTheRuntimeFolderElseTheUsersCache) {
    EXPECT_EQ(musicLockPath(":0"), runtime + "/tamaruka-music-_0.lock");
    EXPECT_EQ(musicLockPath(":0.1"), runtime + "/tamaruka-music-_0.lock");  // another screen, same display
    EXPECT_EQ(musicLockPath("tcp/host.example:10.0"), runtime + "/tamaruka-music-host.example_10.lock");
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
        EXPECT_NE(take(":1"), nullptr);
        EXPECT_TRUE(std::filesystem::exists(cache + "/tamaruka/tamaruka-music-_1.lock"));
    }
}

TEST_F(MusicLockTest, SecondTakerOnTheSameDisplayIsRefusedUntilTheFirstLetsGo) {
    std::unique_ptr<MusicLock> first = take(":5");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(take(":5"), nullptr);
    EXPECT_EQ(take(":5.1"), nullptr);
    EXPECT_NE(take(":6"), nullptr);  // another display has its own
    first.reset();
    EXPECT_NE(take(":5"), nullptr);
}

TEST_F(MusicLockTest, NoLockAndSoNoMusicWhenNoFolderCanBeUsed) {
    const std::string file = runtime + "/not-a-folder";
    std::ofstream(file) << "x";
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv blockedCache("XDG_CACHE_HOME", file.c_str());
    std::string failure;
    EXPECT_EQ(MusicLock::take(":0", failure), nullptr);
    EXPECT_EQ(failure, "cannot make the folder " + file + "/tamaruka: Not a directory");
}

// Another user's folder, or a link planted in its place, is never used: whoever
// could write there could hold the lock and silence the music. A folder of the
// user's own that others may enter is closed to them.
TEST_F(MusicLockTest, TheCacheFolderServesOnlyWhenItIsTheUsersOwnAndPrivate) {
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    const std::string cache = test::makeTempDir("tamaruka-cache");
    ScopedEnv cacheEnv("XDG_CACHE_HOME", cache.c_str());
    const std::string folder = cache + "/tamaruka";

    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    EXPECT_NE(take(":2"), nullptr);
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    std::filesystem::remove_all(folder);
    ASSERT_EQ(::symlink(runtime.c_str(), folder.c_str()), 0);
    std::string failure;
    EXPECT_EQ(MusicLock::take(":2", failure), nullptr);
    EXPECT_EQ(failure, "cannot open the folder " + folder + ": Not a directory");
}

TEST(DisplayName, EverySpellingOfOneDisplayIsOneName) {
    for (const char* local : {":93", "unix:93.0", ":93.1", "unix/:93", "local/unix:093.0"})
        EXPECT_EQ(canonicalDisplayName(local), ":93") << local;
    EXPECT_EQ(canonicalDisplayName("host.example:10.2"), "host.example:10");
    EXPECT_EQ(canonicalDisplayName("tcp/host.example:10"), "host.example:10");
    EXPECT_EQ(canonicalDisplayName(":0"), ":0");
    // Other hosts, even this machine's network name, are other displays.
    EXPECT_EQ(canonicalDisplayName("localhost:93"), "localhost:93");
    for (const char* untouched : {"", "nodisplay", ":x", "decnet::0", "bogus/host:0"})
        EXPECT_EQ(canonicalDisplayName(untouched), untouched) << untouched;
}

TEST_F(MusicLockTest, AKilledHolderNeverBlocksTheNext) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        std::unique_ptr<MusicLock> lock = take(":7");
        const char taken = lock ? 'y' : 'n';
        (void)!write(ready[1], &taken, 1);
        for (;;) pause();
    }
    close(ready[1]);
    char taken = 0;
    ASSERT_EQ(read(ready[0], &taken, 1), 1);
    close(ready[0]);
    EXPECT_EQ(taken, 'y');
    EXPECT_EQ(take(":7"), nullptr);

    kill(holder, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_NE(take(":7"), nullptr);
}

}  // namespace
}  // namespace tamaruka
