// The Debian package as tools/package.sh makes it: where every file lands with
// which mode, the control fields, and desktop entries that the hosts accept.
#include <chrono>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

struct Result {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

Result shell(const std::string& command, std::chrono::milliseconds timeout = 60s) {
    ChildProcess child("/bin/sh", {"-c", command});
    const auto code = child.waitExit(timeout);
    return {code.value_or(-1), child.outputText()};
}

bool haveTool(const std::string& name) { return shell("command -v " + name + " >/dev/null").exitCode == 0; }

std::string lastLine(const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

// The package is built once for all cases: a Release build takes minutes.
class DebianPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "cpack"})
            if (!haveTool(tool)) {
                skipReason_ = std::string(tool) + " is missing: the Debian package cannot be built here";
                return;
            }
        const std::string folder = makeTempDir("tamaruka-package");
        const Result made = shell(sourceDir() + "/tools/package.sh " + folder + "/build " + folder + "/out", 35min);
        packageScript_ = made;
        deb_ = lastLine(made.output);
        expectedDeb_ = folder + "/out/tamaruka_" + TAMARUKA_VERSION + "_" +
                       lastLine(shell("dpkg --print-architecture").output) + ".deb";
        unpacked_ = folder + "/root";
        shell("dpkg-deb -x " + deb_ + " " + unpacked_);
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
        ASSERT_EQ(packageScript_.exitCode, 0) << packageScript_.output;
    }

    static std::string field(const std::string& name) {
        return lastLine(shell("dpkg-deb -f " + deb_ + " " + name).output);
    }

    static inline std::string skipReason_;
    static inline Result packageScript_;
    static inline std::string deb_, expectedDeb_, unpacked_;
};

TEST_F(DebianPackage, ScriptPrintsThePackageNamedAfterVersionAndArchitecture) {
    EXPECT_EQ(deb_, expectedDeb_);
    EXPECT_EQ(shell("test -f " + deb_).exitCode, 0);
}

// Every regular file with its mode: the programs where the front-end and the
// hosts look for them, the hosts' settings file and entries, icons, man page, docs.
TEST_F(DebianPackage, InstallsEveryFileWhereTheHostsLookWithItsMode) {
    std::map<std::string, std::string> expected = {
        {"./usr/lib/tamaruka/Tamaruka.scr", "-rwxr-xr-x"},
        {"./usr/lib/tamaruka/tamaruka-frontend", "-rwxr-xr-x"},
        {"./usr/lib/tamaruka/Tamaruka.data", "-rwxr-xr-x"},
        {"./usr/libexec/xscreensaver/tamaruka", "-rwxr-xr-x"},
        {"./usr/libexec/xscreensaver/tamaruka-draw", "-rwxr-xr-x"},
        {"./usr/share/lintian/overrides/tamaruka", "-rw-r--r--"},
        {"./usr/share/xscreensaver/config/tamaruka.xml", "-rw-r--r--"},
        {"./usr/share/applications/screensavers/tamaruka.desktop", "-rw-r--r--"},
        {"./usr/share/applications/tamaruka-settings.desktop", "-rw-r--r--"},
        {"./usr/share/man/man6/tamaruka.6.gz", "-rw-r--r--"},
        {"./usr/share/doc/tamaruka/copyright", "-rw-r--r--"},
        {"./usr/share/doc/tamaruka/changelog.gz", "-rw-r--r--"},
        {"./usr/share/doc/tamaruka/README.Debian", "-rw-r--r--"},
    };
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
        expected[std::string("./usr/share/icons/hicolor/") + size + "/apps/tamaruka.png"] = "-rw-r--r--";

    // dpkg-deb -c: "MODE OWNER SIZE DATE TIME PATH"
    std::map<std::string, std::string> files;
    std::istringstream listing(shell("dpkg-deb -c " + deb_).output);
    for (std::string line; std::getline(listing, line);) {
        std::istringstream columns(line);
        std::string mode, owner, size, date, time, path;
        columns >> mode >> owner >> size >> date >> time >> path;
        EXPECT_EQ(owner, "root/root") << path;
        if (mode.starts_with('d')) EXPECT_EQ(mode, "drwxr-xr-x") << path;
        else files[path] = mode;
    }
    EXPECT_EQ(files, expected);
}

TEST_F(DebianPackage, ControlFieldsNameTheVersionComputedDependenciesAndAHost) {
    EXPECT_EQ(field("Package"), "tamaruka");
    EXPECT_EQ(field("Version"), TAMARUKA_VERSION);
    EXPECT_EQ(field("Section"), "x11");
    EXPECT_EQ(field("Recommends"),
              "xscreensaver | xsecurelock | mate-screensaver, fonts-ipafont-gothic | fonts-noto-cjk | fonts-vlgothic");
    EXPECT_NE(field("Maintainer").find('@'), std::string::npos);
    // Computed by dpkg-shlibdeps from the programs (a library of each), and Qt's
    // platform plugin, which nothing links.
    const std::string depends = field("Depends");
    for (const char* library :
         {"libqt6widgets6", "libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libcdio19", "libglx0", "libxrandr2", "qt6-qpa-plugins"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;
}

// The entries run programs the package holds; MATE and xfce accept only
// entries that desktop-file-validate passes.
TEST_F(DebianPackage, DesktopEntriesRunThePackagedProgramsAndValidate) {
    const std::map<std::string, std::string> execLines = {
        {"/usr/share/applications/screensavers/tamaruka.desktop", "Exec=/usr/libexec/xscreensaver/tamaruka -root"},
        {"/usr/share/applications/tamaruka-settings.desktop", "Exec=/usr/lib/tamaruka/Tamaruka.scr /c"},
    };
    for (const auto& [entry, exec] : execLines) {
        EXPECT_EQ(shell("grep -qx -- '" + exec + "' " + unpacked_ + entry).exitCode, 0) << entry << ": " << exec;
        if (haveTool("desktop-file-validate")) {
            const Result validated = shell("desktop-file-validate --no-hints " + unpacked_ + entry);
            EXPECT_EQ(validated.exitCode, 0) << validated.output;
            EXPECT_EQ(validated.output, "") << entry;
        }
    }
}

}  // namespace
}  // namespace tamaruka::test
