#pragma once
// What the display-mode benchmarks share: the frame counters that
// bench/frame_count_probe.c keeps in a shared file, the clocks, and the
// display server they started.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <vector>

#include "harness/harness.h"

namespace tamaruka::bench {

using test::monotonicSeconds;
using test::processCpuSeconds;

// The Xvfb that this process started (the test support keeps its id to itself;
// one runs at a time).
inline int childXvfbPid() {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        if (close == std::string::npos || text.find("(Xvfb)") == std::string::npos) continue;
        std::istringstream fields(text.substr(close + 2));
        std::string state;
        int parent = 0;
        fields >> state >> parent;
        if (parent == ::getpid()) return std::stoi(name);
    }
    return -1;
}

class FrameCounter {
public:
    explicit FrameCounter(const std::string& path) : path_(path) {
        std::ofstream(path).write(std::string(4096, '\0').data(), 4096);
        std::FILE* file = std::fopen(path.c_str(), "r+");
        memory_ = static_cast<volatile std::uint64_t*>(
            mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fileno(file), 0));
        std::fclose(file);
    }
    ~FrameCounter() { munmap(const_cast<std::uint64_t*>(memory_), 4096); }
    FrameCounter(const FrameCounter&) = delete;
    FrameCounter& operator=(const FrameCounter&) = delete;
    const std::string& path() const { return path_; }
    double firstFrameSeconds() const { return double(memory_[0]) * 1e-9; }
    // SDL swaps for Tamaruka.data, GLX or EGL swaps for tamaruka, its syncs
    // when it puts CPU frames with MIT-SHM (in bands, one sync a frame),
    // XPutImage calls for the Xlib hacks (Mesa's software GL puts its images
    // through XCB, not Xlib), frame callbacks when it shows CPU frames
    // through wl_shm.
    std::uint64_t frames() const {
        for (int slot : {1, 3, 4})
            if (memory_[slot]) return memory_[slot];
        if (memory_[5]) return memory_[6];
        if (memory_[7]) return memory_[7];
        return memory_[2];
    }

private:
    std::string path_;
    volatile std::uint64_t* memory_ = nullptr;
};

// How long each program is measured and how many rounds the programs take
// turns for: --seconds N --rounds R on the command line (10 s, 3 rounds).
struct RoundOptions {
    double seconds = 10;
    int rounds = 3;
};
inline RoundOptions parseRoundOptions(int argc, char** argv) {
    RoundOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) options.seconds = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--rounds") == 0) options.rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    return options;
}

inline void printLoadAverage() {
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average at start %.2f %.2f %.2f\n\n", load[0], load[1], load[2]);
}

// Frames a second and CPU (% of one core) of a program and its display server.
struct Rate {
    double fps = 0, cpu = 0, serverCpu = 0;
};

// The rate of the running program `pid` over `seconds`, from now on.
inline Rate measureRate(int pid, int serverPid, const FrameCounter& counter, double seconds) {
    const double t0 = monotonicSeconds(), own0 = processCpuSeconds(pid), server0 = processCpuSeconds(serverPid);
    const std::uint64_t frames0 = counter.frames();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double t1 = monotonicSeconds(), own1 = processCpuSeconds(pid), server1 = processCpuSeconds(serverPid);
    const std::uint64_t frames1 = counter.frames();
    const double wall = t1 - t0;
    return {double(frames1 - frames0) / wall, 100 * (own1 - own0) / wall, 100 * (server1 - server0) / wall};
}

// The round whose sum (own + server CPU) is the median, and every round's sum.
inline Rate medianBySum(std::vector<Rate> rates) {
    std::sort(rates.begin(), rates.end(),
              [](const Rate& a, const Rate& b) { return a.cpu + a.serverCpu < b.cpu + b.serverCpu; });
    return rates[rates.size() / 2];
}
inline std::string roundSums(const std::vector<Rate>& rates) {
    std::string sums;
    for (const Rate& rate : rates) sums += (sums.empty() ? "" : " ") + std::to_string(int(std::lround(rate.cpu + rate.serverCpu)));
    return sums;
}

}  // namespace tamaruka::bench
