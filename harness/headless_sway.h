#pragma once
// A private headless sway for the Wayland tests: no X display, software
// rendering, and HEADLESS-1 at 1024 x 768. sway refuses root, so it runs as
// an ordinary user when the tests run as root.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/ordinary_user.h"
#include "harness/harness.h"

namespace tamaruka::test {

class HeadlessSway {
public:
    // Starts it and waits until it answers; throws std::runtime_error when it does not.
    HeadlessSway();
    ~HeadlessSway();  // asks it to exit, then stops it
    HeadlessSway(const HeadlessSway&) = delete;
    HeadlessSway& operator=(const HeadlessSway&) = delete;

    // WAYLAND_DISPLAY, XDG_RUNTIME_DIR and SWAYSOCK for a client.
    std::map<std::string, std::string> clientEnv() const;
    // swaymsg with these arguments: its output, or none when it failed.
    std::optional<std::string> swaymsg(const std::vector<std::string>& args);
    // Adds an output at that size and place; returns its name (HEADLESS-2, ...).
    std::string addOutput(int width, int height, int x, int y);
    // One output's picture, through grim.
    Screenshot capture(const std::string& output);
    // The sway process itself (runuser's child when it runs as another user).
    int compositorPid() const;
    // Stops it at once, as a crashed compositor would go.
    void kill();
    std::string logText() const { return process_ ? process_->outputText() : ""; }

private:
    std::optional<OrdinaryUser> user_;
    std::string runtimeDir_;
    std::string waylandDisplay_;
    std::string swaySocket_;
    std::unique_ptr<ChildProcess> process_;
    int outputs_ = 1;
};

}  // namespace tamaruka::test
