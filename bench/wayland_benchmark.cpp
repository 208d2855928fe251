// tamaruka --fullscreen at 1024 x 768 as a Wayland client on a private
// headless sway against the same on a private Xvfb (both software-rendered):
// start to first frame (median of 15 starts), then frames per second and CPU
// (the program's own and the display server's, % of one core), the two
// taking turns round after round. Figures in bench/README.md.
//
//   wayland_benchmark [--seconds N] [--rounds R]   (defaults 10 s, 3 rounds)
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/display_mode_bench_tools.h"
#include "harness/headless_sway.h"
#include "harness/harness.h"

namespace {

using namespace std::chrono_literals;
namespace test = tamaruka::test;
using namespace tamaruka::bench;

constexpr int StartupRuns = 15;

struct Setup {
    std::string label;
    std::vector<std::string> envArgs;  // env(1)'s arguments before the program
    int serverPid;
    bool timedStart = true;  // CPU frames on Wayland leave no stamp of the first frame
};

// tamaruka --fullscreen through env(1), which becomes it, with the frame probe.
std::unique_ptr<test::ChildProcess> start(const Setup& setup, const FrameCounter& counter) {
    std::vector<std::string> args = setup.envArgs;
    for (const std::string& arg : {"LD_PRELOAD=" + test::binDir() + "/libframe_count_probe.so",
                                   "TAMARUKA_FRAME_COUNTER_FILE=" + counter.path(), test::binDir() + "/tamaruka",
                                   std::string("--fullscreen"), std::string("--no-music")})
        args.push_back(arg);
    return std::make_unique<test::ChildProcess>("/usr/bin/env", args);
}

double startToFirstFrame(const Setup& setup, const std::string& folder, int run) {
    FrameCounter counter(folder + "/startup-" + std::to_string(run));
    const double started = monotonicSeconds();
    auto child = start(setup, counter);
    if (!test::waitUntil([&] { return counter.firstFrameSeconds() > 0; }, 20s)) {
        std::fprintf(stderr, "%s: no frame within 20 s:\n%s\n", setup.label.c_str(), child->outputText().c_str());
        std::exit(1);
    }
    const double seconds = counter.firstFrameSeconds() - started;
    child->sendSignal(SIGTERM);
    child->waitExit(5s);
    return seconds;
}

Rate measure(const Setup& setup, const std::string& folder, double seconds) {
    FrameCounter counter(folder + "/frames");
    auto child = start(setup, counter);
    std::this_thread::sleep_for(3s);  // past start-up and the first rockets
    const Rate rate = measureRate(child->pid(), setup.serverPid, counter, seconds);
    if (!child->running()) std::fprintf(stderr, "%s ended early:\n%s\n", setup.label.c_str(), child->outputText().c_str());
    child->sendSignal(SIGTERM);
    child->waitExit(5s);
    return rate;
}

}  // namespace

int main(int argc, char** argv) {
    const auto [seconds, rounds] = parseRoundOptions(argc, argv);
    const std::string folder = test::makeTempDir("tamaruka-wayland-bench");
    const std::string config = "XDG_CONFIG_HOME=" + folder;  // no settings: no music
    printLoadAverage();

    test::XvfbDisplay xvfb(1024, 768);
    test::HeadlessSway sway;
    std::vector<std::string> waylandEnv = {"-u", "DISPLAY", config};
    for (const auto& [name, value] : sway.clientEnv()) waylandEnv.push_back(name + "=" + value);
    std::vector<std::string> glEnv = waylandEnv, cpuEnv = waylandEnv;
    glEnv.push_back("TAMARUKA_DRAWING=gl");
    cpuEnv.push_back("TAMARUKA_DRAWING=cpu");
    const std::vector<Setup> setups = {
        {"headless sway, GL", glEnv, sway.compositorPid()},
        {"headless sway, CPU wl_shm", cpuEnv, sway.compositorPid(), false},
        {"Xvfb (X11)", {"-u", "WAYLAND_DISPLAY", "DISPLAY=" + xvfb.name(), config}, childXvfbPid()},
    };

    std::printf("tamaruka --fullscreen at 1024 x 768, start to first frame, %d starts\n", StartupRuns);
    for (const Setup& setup : setups) {
        if (!setup.timedStart) continue;
        std::vector<double> startups;
        for (int run = 0; run < StartupRuns; ++run) startups.push_back(startToFirstFrame(setup, folder, run));
        std::sort(startups.begin(), startups.end());
        std::printf("  %-26s median %.0f ms (min %.0f, max %.0f)   goal < 300 ms\n", setup.label.c_str(),
                    1e3 * startups[StartupRuns / 2], 1e3 * startups.front(), 1e3 * startups.back());
    }

    std::vector<std::vector<Rate>> rates(setups.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < setups.size(); ++i) rates[i].push_back(measure(setups[i], folder, seconds));
    std::printf("\nframes a second and CPU, %.0f s each, median of %d rounds (by the sum)\n", seconds, rounds);
    std::printf("  %-26s %8s %10s %12s %8s   %s\n", "display server", "fps", "CPU %", "server CPU %", "sum %",
                "sums of the rounds");
    for (std::size_t i = 0; i < setups.size(); ++i) {
        const Rate median = medianBySum(rates[i]);
        std::printf("  %-26s %8.1f %10.1f %12.1f %8.1f   %s\n", setups[i].label.c_str(), median.fps, median.cpu,
                    median.serverCpu, median.cpu + median.serverCpu, roundSums(rates[i]).c_str());
    }
    return 0;
}
