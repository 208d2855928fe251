// The saver run end to end, on $DISPLAY or a private Xvfb, with both real
// programs installed side by side in a temporary folder and no music:
//   - from starting `Tamaruka.scr /S` to the renderer's first presented frame
//     (a preloaded probe notes it), median of the runs;
//   - from a diagonal pointer move (31 px on both axes, then 11 more small
//     moves as a hand makes them) to both processes having exited, median;
//   - the front-end's CPU share while it watches the pointer, and its
//     resident memory.
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "harness/harness.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tamaruka::test::ChildProcess;
using tamaruka::test::monotonicSeconds;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double readMarker(const std::string& path) {
    std::ifstream in(path);
    long long seconds = 0;
    long nanoseconds = 0;
    if (!(in >> seconds >> nanoseconds)) return -1.0;
    return double(seconds) + double(nanoseconds) * 1e-9;
}

// The renderer: the front-end's child, reparented to us (the subreaper) if
// the front-end ends first.
int rendererPid(const fs::path& program) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::error_code error;
        if (fs::read_symlink(entry.path() / "exe", error) == program)
            return std::atoi(entry.path().filename().c_str());
    }
    return -1;
}

// Reaped here, or by the front-end (then it is no longer our child and no
// longer exists).
bool reaped(int pid) {
    int status = 0;
    const pid_t got = ::waitpid(pid, &status, WNOHANG);
    return got == pid || (got < 0 && errno == ECHILD && ::kill(pid, 0) != 0);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;
    const double watchSeconds = argc > 2 ? std::atof(argv[2]) : 20.0;
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    std::unique_ptr<tamaruka::test::XvfbDisplay> xvfb;
    if (!std::getenv("DISPLAY")) {
        xvfb = std::make_unique<tamaruka::test::XvfbDisplay>();
        setenv("DISPLAY", xvfb->name().c_str(), 1);
    }
    tamaruka::test::XClient x;

    const fs::path folder = tamaruka::test::makeTempDir("tamaruka-run-bench");
    tamaruka::test::copyFrontEnd(folder.string());
    fs::copy_file(fs::path(tamaruka::test::binDir()) / "Tamaruka.data", folder / "Tamaruka.data");
    const std::string probe = tamaruka::test::binDir() + "/librenderer_first_frame_probe.so";
    const fs::path renderer = folder / "Tamaruka.data";

    std::vector<double> firstFrame, ending, saverEnding, rendererEnding;
    double cpuPercent = -1;
    long rssKb = -1;
    for (int run = 0; run < runs; ++run) {
        x.movePointer(512, 384);
        const std::string marker = (folder / ("first-frame-" + std::to_string(run))).string();
        const double started = monotonicSeconds();
        ChildProcess saver((folder / "Tamaruka.scr").string(), {"/S"},
                           {{"XDG_CACHE_HOME", (folder / "cache").string()},
                            {"LD_PRELOAD", probe},
                            {"TAMARUKA_FIRST_FRAME_FILE", marker}});
        if (!tamaruka::test::waitUntil([&] { return fs::exists(marker); }, 30s)) {
            std::fprintf(stderr, "run %d: no first frame\n%s", run, saver.outputText().c_str());
            return 1;
        }
        firstFrame.push_back(readMarker(marker) - started);
        const int rendererProcess = rendererPid(renderer);
        std::this_thread::sleep_for(500ms);

        if (run == 0) {
            // The front-end alone matters here; the renderer takes what it can.
            const double cpuBefore = tamaruka::test::processCpuSeconds(saver.pid());
            const double wallBefore = monotonicSeconds();
            std::this_thread::sleep_for(std::chrono::duration<double>(watchSeconds));
            cpuPercent = 100.0 * (tamaruka::test::processCpuSeconds(saver.pid()) - cpuBefore) / (monotonicSeconds() - wallBefore);
            rssKb = tamaruka::test::processStatusKilobytes(saver.pid(), "VmRSS");
        }

        const double moved = monotonicSeconds();
        x.movePointer(512 + 31, 384 + 31);
        for (int step = 1; step <= 11; ++step) x.movePointer(512 + 31 + step % 2, 384 + 31 + step);
        bool saverGone = false, rendererGone = rendererProcess < 0;
        while (!(saverGone && rendererGone) && monotonicSeconds() - moved < 10.0) {
            if (!saverGone && !saver.running()) {
                saverGone = true;
                saverEnding.push_back(monotonicSeconds() - moved);
            }
            if (!rendererGone && reaped(rendererProcess)) {
                rendererGone = true;
                rendererEnding.push_back(monotonicSeconds() - moved);
            }
            std::this_thread::sleep_for(500us);
        }
        if (!saverGone || !rendererGone) {
            std::fprintf(stderr, "run %d: not ended (front-end %s, renderer %s)\n", run,
                         saverGone ? "gone" : "running", rendererGone ? "gone" : "running");
            return 1;
        }
        ending.push_back(monotonicSeconds() - moved);
    }
    std::printf("runs: %d\n", runs);
    std::printf("start to first presented frame: median %.0f ms (min %.0f, max %.0f)\n",
                median(firstFrame) * 1000, *std::min_element(firstFrame.begin(), firstFrame.end()) * 1000,
                *std::max_element(firstFrame.begin(), firstFrame.end()) * 1000);
    std::printf("diagonal move to both exited: median %.0f ms (min %.0f, max %.0f)\n", median(ending) * 1000,
                *std::min_element(ending.begin(), ending.end()) * 1000,
                *std::max_element(ending.begin(), ending.end()) * 1000);
    std::printf("  of which: front-end exited after median %.0f ms, renderer after %.0f ms\n",
                median(saverEnding) * 1000, median(rendererEnding) * 1000);
    std::printf("front-end CPU while watching (%.0f s, no music): %.2f %% of one core\n", watchSeconds, cpuPercent);
    std::printf("front-end resident memory: %.1f MB\n", rssKb / 1024.0);
    fs::remove_all(folder);
    return 0;
}
