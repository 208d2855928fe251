// The renderer's child process: start failures with their reason, the exit
// reported once, and an end that reaches a child that ignores SIGTERM and
// what it started itself.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "frontend/platform/child_program.h"
#include "tests/support/temp_folder.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using test::TempFolder;

std::string script(const std::string& folder, const std::string& name, const std::string& body, bool executable = true)
{
    const std::string path = folder + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644));
    return path;
}

std::optional<ChildExit> waitForExit(ChildProgram& child)
{
    for (int i = 0; i < 500; ++i) {
        if (auto exit = child.exitStatus()) return exit;
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

// Running, not merely waiting to be reaped by whoever inherited it.
bool processExists(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

TEST(ChildProgram, StartFailuresGiveTheirReason)
{
    TempFolder folder;
    int error = 0;
    EXPECT_FALSE(ChildProgram::start(script(folder.path(), "plain", "exit 0", false), error).has_value());
    EXPECT_EQ(error, EACCES);
    EXPECT_FALSE(ChildProgram::start(folder.path() + "/missing", error).has_value());
    EXPECT_EQ(error, ENOENT);
}

TEST(ChildProgram, ExitIsReportedOnceWithItsCodeOrSignal)
{
    TempFolder folder;
    int error = 0;
    auto failing = ChildProgram::start(script(folder.path(), "fails", "exit 3"), error);
    ASSERT_TRUE(failing.has_value()) << error;
    EXPECT_GE(failing->exitDescriptor(), 0);  // a pidfd on this kernel
    const std::optional<ChildExit> exit = waitForExit(*failing);
    ASSERT_TRUE(exit.has_value());
    EXPECT_TRUE(exit->exited);
    EXPECT_EQ(exit->exitCode, 3);
    EXPECT_FALSE(exit->success());
    EXPECT_FALSE(failing->exitStatus().has_value());  // reaped: no zombie, no second report

    auto killed = ChildProgram::start(script(folder.path(), "killed", "kill -9 $$"), error);
    ASSERT_TRUE(killed.has_value());
    const std::optional<ChildExit> death = waitForExit(*killed);
    ASSERT_TRUE(death.has_value());
    EXPECT_FALSE(death->exited);
    EXPECT_EQ(death->signal, SIGKILL);
}

TEST(ChildProgram, TerminateEndsAStubbornChildAndWhatItStarted)
{
    TempFolder folder;
    const std::string pidFile = folder.path() + "/grandchild";
    int error = 0;
    // Ignores SIGTERM and starts a process of its own, as a renderer's
    // message box does.
    auto child = ChildProgram::start(
        script(folder.path(), "stubborn", "trap '' TERM\nsleep 30 &\necho $! > " + pidFile + "\nwait"), error);
    ASSERT_TRUE(child.has_value());
    pid_t grandchild = 0;
    for (int i = 0; i < 300 && grandchild == 0; ++i) {
        std::ifstream(pidFile) >> grandchild;
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GT(grandchild, 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(child->terminate(300ms));  // not within the grace period: killed
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(processExists(child->pid()));  // reaped, not a zombie
    EXPECT_TRUE([&] {
        for (int i = 0; i < 300; ++i) {
            if (!processExists(grandchild)) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }());

    auto quick = ChildProgram::start(script(folder.path(), "quick", "exec sleep 30"), error);
    ASSERT_TRUE(quick.has_value());
    EXPECT_TRUE(quick->terminate(2s));  // sleep ends on SIGTERM
    EXPECT_FALSE(processExists(quick->pid()));
}

}  // namespace
}  // namespace tamaruka
