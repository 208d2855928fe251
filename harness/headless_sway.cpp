#include "harness/headless_sway.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

namespace tamaruka::test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A binary PPM (P6, 255) as grim writes it.
Screenshot readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Screenshot shot;
    in >> magic >> shot.width >> shot.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255 || shot.width <= 0 || shot.height <= 0) return {};
    shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
    in.read(reinterpret_cast<char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
    return in ? shot : Screenshot{};
}

}  // namespace

HeadlessSway::HeadlessSway() : user_(ordinaryUserWhenRoot()), runtimeDir_(makeTempDir("tamaruka-sway")) {
    std::ofstream(runtimeDir_ + "/config") << "xwayland disable\n"
                                           << "output HEADLESS-1 resolution 1024x768 position 0 0\n";
    ::chmod(runtimeDir_.c_str(), 0700);
    giveToUser(user_, runtimeDir_);
    process_ = startAsUser(user_, {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "SWAYSOCK",
                                   "HOME=" + runtimeDir_, "XDG_RUNTIME_DIR=" + runtimeDir_,
                                   "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                   "sway", "-c", runtimeDir_ + "/config"});
    const bool up = waitUntil([&] {
        for (const auto& entry : fs::directory_iterator(runtimeDir_)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("wayland-") && !name.ends_with(".lock")) waylandDisplay_ = name;
            if (name.starts_with("sway-ipc.")) swaySocket_ = entry.path().string();
        }
        return !waylandDisplay_.empty() && !swaySocket_.empty() && swaymsg({"-t", "get_outputs"});
    }, 20s);
    if (!up) throw std::runtime_error("the headless sway did not come up:\n" + logText());
}

HeadlessSway::~HeadlessSway() {
    if (process_->running()) swaymsg({"exit"});
    if (!process_->waitExit(5s)) process_->sendSignal(SIGTERM);
    process_->waitExit(5s);
}

std::map<std::string, std::string> HeadlessSway::clientEnv() const {
    return {{"WAYLAND_DISPLAY", waylandDisplay_}, {"XDG_RUNTIME_DIR", runtimeDir_}, {"SWAYSOCK", swaySocket_}};
}

std::optional<std::string> HeadlessSway::swaymsg(const std::vector<std::string>& args) {
    ChildProcess client("/usr/bin/swaymsg", args, clientEnv());
    if (client.waitExit(10s) != 0) return std::nullopt;
    return client.outputText();
}

std::string HeadlessSway::addOutput(int width, int height, int x, int y) {
    if (!swaymsg({"create_output"})) throw std::runtime_error("sway made no output");
    const std::string name = "HEADLESS-" + std::to_string(++outputs_);
    const std::string mode = std::to_string(width) + "x" + std::to_string(height);
    if (!swaymsg({"output", name, "resolution", mode, "position", std::to_string(x), std::to_string(y)}))
        throw std::runtime_error("sway did not size " + name);
    return name;
}

Screenshot HeadlessSway::capture(const std::string& output) {
    const std::string path = makeTempDir("tamaruka-grim") + "/shot.ppm";
    ChildProcess grim("/usr/bin/grim", {"-o", output, "-t", "ppm", path}, clientEnv());
    if (grim.waitExit(10s) != 0) return {};
    return readPpm(path);
}

int HeadlessSway::compositorPid() const {
    if (!user_) return process_->pid();  // env became sway
    const std::string pid = std::to_string(process_->pid());
    std::ifstream children("/proc/" + pid + "/task/" + pid + "/children");
    int child = -1;
    children >> child;
    return child;
}

void HeadlessSway::kill() {
    // runuser passes a SIGKILL on to nothing: the compositor itself must go.
    if (const int sway = compositorPid(); sway > 0) ::kill(sway, SIGKILL);
    if (!process_->waitExit(5s)) process_->sendSignal(SIGKILL);  // runuser ends once it has reaped sway
    process_->waitExit(5s);
}

}  // namespace tamaruka::test
