#include "harness/harness.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tamaruka::test {

ScopedUnsetEnv::ScopedUnsetEnv(const char* name) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::unsetenv(name);
}

ScopedUnsetEnv::~ScopedUnsetEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
}

std::vector<std::string> processesWithEnvironment(const std::string& entry) {
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    for (const auto& process : fs::directory_iterator("/proc")) {
        std::ifstream environ(process.path() / "environ");
        const std::string text = '\0' + std::string(std::istreambuf_iterator<char>(environ), {});
        if (text.find('\0' + entry + '\0') == std::string::npos) continue;
        std::ifstream cmdline(process.path() / "cmdline");
        std::string command;
        std::getline(cmdline, command, '\0');
        found.push_back(process.path().filename().string() + " " + command);
    }
    return found;
}

bool runsOwnCode(int pid) {
    const std::string process = "/proc/" + std::to_string(pid);
    std::ifstream status(process + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigBlk:", 0) == 0 && ((std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1))
            return true;
    std::ifstream maps(process + "/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libc.so") != std::string::npos) return true;
    return false;
}

}  // namespace tamaruka::test
