#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "common/sprite_path.h"
#include "common/user_folders.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    void set(const char* name, const char* value)
    {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) ::setenv(name, value, 1); else ::unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1); else ::unsetenv(name.c_str());
        }
    }
private:
    std::map<std::string, std::optional<std::string>> saved_;
};

class SettingsLocationTest : public ::testing::Test {
protected:
    SettingsLocationTest() : folder(test::makeTempDir("tamaruka-location")) {}

    void writeFile(const std::string& path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "[Section]\r\n";
    }

    std::string folder;
    ScopedEnvironment environment;
};

TEST_F(SettingsLocationTest, UserFileFollowsTheXdgConfigFolder)
{
    environment.set("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(userSettingsFilePath(), "/srv/config/tamaruka/Tamaruka.ini");
    // A relative value is ignored, as the XDG rules say.
    environment.set("XDG_CONFIG_HOME", "relative/config");
    const std::string home = folder + "/hanabi";
    std::filesystem::create_directory(home);
    environment.set("HOME", home.c_str());
    environment.set("XDG_CACHE_HOME", nullptr);
    EXPECT_EQ(userSettingsFilePath(), home + "/.config/tamaruka/Tamaruka.ini");
    environment.set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(userSettingsFilePath(), home + "/.config/tamaruka/Tamaruka.ini");
    EXPECT_EQ(spriteFilePath(), home + "/.cache/tamaruka/Fireworks.bmp");
}

// A home that exists on paper only is no home: the sprite goes where it goes
// without one, the user's private runtime folder, and there is no user file.
TEST_F(SettingsLocationTest, AHomeThatDoesNotExistCountsAsNone)
{
    environment.set("HOME", "/nonexistent");
    environment.set("XDG_CACHE_HOME", nullptr);
    environment.set("XDG_CONFIG_HOME", nullptr);
    environment.set("XDG_RUNTIME_DIR", folder.c_str());  // mkdtemp made it ours, 0700
    EXPECT_EQ(homeFolder(), std::nullopt);
    EXPECT_EQ(userSettingsFilePath(), "");
    EXPECT_EQ(spriteFilePath(), folder + "/tamaruka/Fireworks.bmp");
}

TEST_F(SettingsLocationTest, TheUsersFileWinsOverTheOneBesideThePrograms)
{
    environment.set("XDG_CONFIG_HOME", (folder + "/config").c_str());
    const std::string programs = folder + "/lib";
    writeFile(settingsFilePath(programs));
    EXPECT_EQ(settingsFileToRead(programs), programs + "/Tamaruka.ini");
    writeFile(folder + "/config/tamaruka/Tamaruka.ini");
    EXPECT_EQ(settingsFileToRead(programs), folder + "/config/tamaruka/Tamaruka.ini");
    // A folder in the file's place is no settings file.
    std::filesystem::remove(folder + "/config/tamaruka/Tamaruka.ini");
    std::filesystem::create_directory(folder + "/config/tamaruka/Tamaruka.ini");
    EXPECT_EQ(settingsFileToRead(programs), programs + "/Tamaruka.ini");
}

}  // namespace
}  // namespace tamaruka
