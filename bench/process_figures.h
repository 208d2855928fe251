#pragma once
// What the display benchmarks read of processes from /proc: CPU time, anonymous
// memory and the Xvfb the benchmark started.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tamaruka::bench {

// User plus system CPU seconds of a process so far, all its threads.
inline double cpuSecondsOf(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    if (text.empty()) return 0;
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) ticks += std::strtod(field.c_str(), nullptr);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

inline long anonymousKilobytes(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("RssAnon:", 0) == 0) return std::strtol(line.c_str() + 8, nullptr, 10);
    return -1;
}

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

}  // namespace tamaruka::bench
