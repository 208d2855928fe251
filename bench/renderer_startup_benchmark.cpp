// Time from the renderer's process start to its first presented frame, and
// its anonymous resident memory while it runs. Starts Tamaruka.data several
// times on $DISPLAY (or a private Xvfb), with a preloaded probe that notes
// when the first frame has been presented.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "bench/renderer_bench_display.h"

namespace {

using namespace std::chrono_literals;
constexpr int Runs = 15;

}  // namespace

int main() {
    const auto xvfb = tamaruka::bench::displayOrPrivateXvfb();
    const std::string folder = tamaruka::bench::cacheFolderWithSprite("tamaruka-startup-bench");
    const std::string probe = tamaruka::test::binDir() + "/librenderer_first_frame_probe.so";
    const std::string program = tamaruka::test::binDir() + "/Tamaruka.data";

    std::vector<double> startups;
    std::vector<double> startupCpu;
    long anonKb = -1, rssKb = -1;
    for (int run = 0; run < Runs; ++run) {
        const std::string marker = folder + "/first-frame-" + std::to_string(run);
        const double started = tamaruka::test::monotonicSeconds();
        tamaruka::test::ChildProcess renderer(
            program, {}, {{"XDG_CACHE_HOME", folder}, {"LD_PRELOAD", probe}, {"TAMARUKA_FIRST_FRAME_FILE", marker}});
        if (!tamaruka::test::waitUntil([&] { return std::filesystem::exists(marker); }, 20s)) {
            std::fprintf(stderr, "renderer_startup_benchmark: no frame within 20 s\n%s\n",
                         renderer.outputText().c_str());
            return 1;
        }
        startupCpu.push_back(tamaruka::test::processCpuSeconds(renderer.pid()));
        std::ifstream in(marker);
        long long seconds = 0;
        long nanoseconds = 0;
        in >> seconds >> nanoseconds;
        startups.push_back(double(seconds) + double(nanoseconds) * 1e-9 - started);
        if (run == 0) {
            // Memory once the fireworks are at their full load.
            std::this_thread::sleep_for(8s);
            anonKb = tamaruka::test::processStatusKilobytes(renderer.pid(), "RssAnon");
            rssKb = tamaruka::test::processStatusKilobytes(renderer.pid(), "VmRSS");
        }
        renderer.sendSignal(SIGTERM);
        const auto code = renderer.waitExit(15s);
        if (code != 0) {
            std::fprintf(stderr, "renderer_startup_benchmark: exit %d\n", code ? *code : -1);
            return 1;
        }
    }
    std::sort(startups.begin(), startups.end());
    std::sort(startupCpu.begin(), startupCpu.end());
    std::printf("runs                          %d\n", Runs);
    std::printf("start to first frame, median  %.0f ms (min %.0f, max %.0f)\n",
                1e3 * startups[Runs / 2], 1e3 * startups.front(), 1e3 * startups.back());
    std::printf("CPU to first frame, median    %.0f ms (user + system, 10 ms ticks)\n",
                1e3 * startupCpu[Runs / 2]);
    std::printf("anonymous resident memory     %.1f MB (RssAnon, after 8 s)\n", anonKb / 1024.0);
    std::printf("total resident memory         %.1f MB (VmRSS, shared libraries included)\n",
                rssKb / 1024.0);
    return 0;
}
