// How fast tamaruka answers in a host window on a private Xvfb: the time from
// each stop signal (TERM, INT, HUP) and from the host window's destruction to
// the program's end, the largest frame step around a 3 s SIGSTOP, and the
// median frame step at the display's 60 Hz and with --delay 50000. Medians
// of five runs each. Figures in bench/README.md ("Display mode").
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "bench/renderer_bench_display.h"

namespace {

using namespace std::chrono_literals;
namespace test = tamaruka::test;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 5;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// tamaruka -root in a 640 x 480 host window, drawing.
struct HostedRun {
    test::XClient x;
    test::WindowId host = 0;
    std::unique_ptr<test::ChildProcess> program;

    explicit HostedRun(std::vector<std::string> extraArgs = {}) {
        host = x.createWindow("host", 640, 480, true);
        std::vector<std::string> args{"-root"};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        program = std::make_unique<test::ChildProcess>(
            test::binDir() + "/tamaruka", args,
            std::map<std::string, std::string>{{"XSCREENSAVER_WINDOW", std::to_string(host)},
                                               {"TAMARUKA_PRINT_FRAME_STEPS", "1"}});
        test::waitUntil([&] { return test::frameSteps(program->outputText()).size() >= 10; }, 20s);
    }
    ~HostedRun() {
        if (program->running()) program->sendSignal(SIGKILL);
        if (host) x.destroyWindow(host);
    }
    // Milliseconds from `stop` to the program's end.
    double endAfter(const std::function<void()>& stop) {
        const auto start = Clock::now();
        stop();
        program->waitExit(10s);
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
};

}  // namespace

int main() {
    const auto xvfb = tamaruka::bench::displayOrPrivateXvfb();
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::vector<double> ms;
        for (int run = 0; run < Runs; ++run) {
            HostedRun hosted;
            ms.push_back(hosted.endAfter([&] { hosted.program->sendSignal(signal); }));
        }
        std::printf("SIG%-4s to the end: median %.1f ms\n", sigabbrev_np(signal), median(ms));
    }
    std::vector<double> destroyed;
    for (int run = 0; run < Runs; ++run) {
        HostedRun hosted;
        destroyed.push_back(hosted.endAfter([&] {
            hosted.x.destroyWindow(hosted.host);
            hosted.host = 0;
        }));
    }
    std::printf("host window destroyed to the end: median %.1f ms\n", median(destroyed));

    {
        HostedRun hosted;
        std::this_thread::sleep_for(500ms);
        hosted.program->sendSignal(SIGSTOP);
        std::this_thread::sleep_for(3s);
        hosted.program->sendSignal(SIGCONT);
        std::this_thread::sleep_for(1s);
        hosted.endAfter([&] { hosted.program->sendSignal(SIGTERM); });
        const std::vector<int> steps = test::frameSteps(hosted.program->outputText());
        std::printf("3 s stopped: %zu frames, largest step %d ms (the clamp is 100)\n", steps.size(),
                    steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end()));
    }
    for (const auto& [name, args] : std::vector<std::pair<const char*, std::vector<std::string>>>{
             {"60 Hz (unknown refresh)", {}}, {"--delay 50000", {"--delay", "50000"}}}) {
        std::vector<double> medians;
        for (int run = 0; run < Runs; ++run) {
            HostedRun hosted(args);
            const std::size_t before = test::frameSteps(hosted.program->outputText()).size();
            std::this_thread::sleep_for(2s);
            std::vector<int> steps = test::frameSteps(hosted.program->outputText());
            steps.erase(steps.begin(), steps.begin() + static_cast<long>(before));
            medians.push_back(median(std::vector<double>(steps.begin(), steps.end())));
            hosted.endAfter([&] { hosted.program->sendSignal(SIGTERM); });
        }
        std::printf("%s: median frame step %.0f ms\n", name, median(medians));
    }
    return 0;
}
