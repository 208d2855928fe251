// The display mode as the hosts run it, beside fireworkx: start to first frame
// and anonymous memory of `tamaruka --root` in a host window, then frames per
// second and CPU (the program's own and the X server's) in 1024 x 768,
// 1920 x 1080 and 3840 x 2160 host windows on private Xvfb servers (llvmpipe),
// with Tamaruka.data full screen and tamaruka --fullscreen and --window at
// 1024 x 768. Figures in bench/README.md.
//
// The programs of a screen size take turns, round after round, so that each
// sees the same changes in the machine's load; the figures are the medians of
// the rounds (the sum's median round is shown whole).
//
//   display_mode_benchmark [--seconds N] [--rounds R]   (defaults 10 s, 3 rounds)
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <vector>

#include "bench/display_mode_bench_tools.h"
#include "bench/renderer_bench_display.h"

#include <X11/Xlib.h>  // last: its macros clash with GoogleTest's names

namespace {

using namespace std::chrono_literals;
namespace test = tamaruka::test;
using namespace tamaruka::bench;

constexpr int StartupRuns = 15;
const char* const Fireworkx = "/usr/libexec/xscreensaver/fireworkx";

long anonymousKilobytes(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("RssAnon:", 0) == 0) return std::strtol(line.c_str() + 8, nullptr, 10);
    return -1;
}


// A window covering the screen, as xscreensaver makes for a display mode.
class HostWindow {
public:
    HostWindow() : display_(XOpenDisplay(nullptr)) {
        if (!display_) throw std::runtime_error("cannot open the display");
        Screen* screen = DefaultScreenOfDisplay(display_);
        window_ = XCreateSimpleWindow(display_, RootWindowOfScreen(screen), 0, 0, WidthOfScreen(screen),
                                      HeightOfScreen(screen), 0, 0, BlackPixelOfScreen(screen));
        XMapRaised(display_, window_);
        XSync(display_, False);
    }
    ~HostWindow() { XCloseDisplay(display_); }
    std::string hexId() const {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", window_);
        return id;
    }

private:
    Display* display_;
    Window window_;
};

struct Program {
    std::string label;
    std::string path;
    std::vector<std::string> args;
    std::map<std::string, std::string> env;
};

Rate measure(const Program& program, const std::string& folder, int serverPid, double seconds) {
    FrameCounter counter(folder + "/frames-" + std::to_string(::getpid()));
    auto env = program.env;
    env["LD_PRELOAD"] = test::binDir() + "/libframe_count_probe.so";
    env["TAMARUKA_FRAME_COUNTER_FILE"] = counter.path();
    test::ChildProcess child(program.path, program.args, env);
    std::this_thread::sleep_for(3s);  // past start-up and the first rockets
    const Rate rate = measureRate(child.pid(), serverPid, counter, seconds);
    if (!child.running()) std::fprintf(stderr, "%s ended early:\n%s\n", program.label.c_str(), child.outputText().c_str());
    child.sendSignal(SIGTERM);
    child.waitExit(5s);
    return rate;
}

void startupAndMemory(const Program& tamaruka, const std::string& folder) {
    std::vector<double> startups;
    long anonKb = -1;
    for (int run = 0; run < StartupRuns; ++run) {
        FrameCounter counter(folder + "/startup-" + std::to_string(run));
        auto env = tamaruka.env;
        env["LD_PRELOAD"] = test::binDir() + "/libframe_count_probe.so";
        env["TAMARUKA_FRAME_COUNTER_FILE"] = counter.path();
        const double started = monotonicSeconds();
        test::ChildProcess child(tamaruka.path, tamaruka.args, env);
        if (!test::waitUntil([&] { return counter.firstFrameSeconds() > 0; }, 20s)) {
            std::fprintf(stderr, "no frame within 20 s:\n%s\n", child.outputText().c_str());
            std::exit(1);
        }
        startups.push_back(counter.firstFrameSeconds() - started);
        if (run == 0) {
            std::this_thread::sleep_for(8s);  // the fireworks at their full load
            anonKb = anonymousKilobytes(child.pid());
        }
        child.sendSignal(SIGTERM);
        child.waitExit(5s);
    }
    std::sort(startups.begin(), startups.end());
    std::printf("tamaruka --root in a 1024 x 768 host window, %d runs\n", StartupRuns);
    std::printf("  start to first frame, median  %.0f ms (min %.0f, max %.0f)   goal < 300 ms\n",
                1e3 * startups[StartupRuns / 2], 1e3 * startups.front(), 1e3 * startups.back());
    std::printf("  anonymous resident memory     %.1f MB (RssAnon after 8 s)   goal < 30 MB\n\n", anonKb / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    const auto [seconds, rounds] = parseRoundOptions(argc, argv);
    const std::string folder = tamaruka::bench::cacheFolderWithSprite("tamaruka-display-mode-bench");
    const std::string configFolder = folder + "/config";  // no settings: no music
    std::filesystem::create_directories(configFolder);
    printLoadAverage();

    struct Size {
        int width, height;
    };
    for (const Size size : {Size{1024, 768}, Size{1920, 1080}, Size{3840, 2160}}) {
        test::XvfbDisplay xvfb(size.width, size.height);
        setenv("DISPLAY", xvfb.name().c_str(), 1);
        const int server = childXvfbPid();
        HostWindow host;
        const std::map<std::string, std::string> hostEnv = {
            {"XSCREENSAVER_WINDOW", host.hexId()}, {"XDG_CONFIG_HOME", configFolder}, {"XDG_CACHE_HOME", folder}};
        std::vector<Program> programs = {
            {"tamaruka --root", test::binDir() + "/tamaruka", {"--root"}, hostEnv},
            {"fireworkx -root", Fireworkx, {"-root"}, hostEnv},
        };
        if (size.width == 1024) {
            const std::map<std::string, std::string> ownEnv = {{"XDG_CONFIG_HOME", configFolder},
                                                               {"XDG_CACHE_HOME", folder}};
            programs.push_back({"Tamaruka.data (full screen)", test::binDir() + "/Tamaruka.data", {}, ownEnv});
            // Windows of its own, with a visual that has no depth buffer; the
            // last with llvmpipe's two workers, which tamaruka otherwise leaves out there.
            programs.push_back({"tamaruka --fullscreen", test::binDir() + "/tamaruka", {"--fullscreen"}, ownEnv});
            programs.push_back({"tamaruka --window", test::binDir() + "/tamaruka", {"--window"}, ownEnv});
            auto withWorkers = ownEnv;
            withWorkers["LP_NUM_THREADS"] = "2";
            programs.push_back({"  same, LP_NUM_THREADS=2", test::binDir() + "/tamaruka", {"--window"}, withWorkers});
        }
        if (size.width == 1024 && std::filesystem::exists(programs[0].path)) startupAndMemory(programs[0], folder);
        std::erase_if(programs, [](const Program& program) {
            if (std::filesystem::exists(program.path)) return false;
            std::printf("  %s not found: %s\n", program.label.c_str(), program.path.c_str());
            return true;
        });

        std::vector<std::vector<Rate>> rates(programs.size());
        for (int round = 0; round < rounds; ++round)
            for (std::size_t i = 0; i < programs.size(); ++i) rates[i].push_back(measure(programs[i], folder, server, seconds));

        std::printf("%d x %d host window, %.0f s each, median of %d rounds\n", size.width, size.height, seconds, rounds);
        std::printf("  %-28s %8s %10s %12s %10s   %s\n", "program", "fps", "CPU %", "Xvfb CPU %", "sum %",
                    "sums of the rounds");
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const Rate median = medianBySum(rates[i]);
            std::printf("  %-28s %8.1f %10.1f %12.1f %10.1f   %s\n", programs[i].label.c_str(), median.fps, median.cpu,
                        median.serverCpu, median.cpu + median.serverCpu, roundSums(rates[i]).c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
