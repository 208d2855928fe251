#include "harness/harness.h"

#include <fcntl.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tamaruka::test {

namespace {
std::optional<int> decodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return std::nullopt;
}
}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& extraEnv) {
    char pattern[] = "/tmp/tamaruka-child-XXXXXX";
    int out = mkstemp(pattern);
    if (out < 0) throw std::runtime_error("mkstemp failed");
    outputPath_ = pattern;
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0) dup2(devNull, STDIN_FILENO);
        for (const auto& [key, value] : extraEnv) setenv(key.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !status_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (!outputPath_.empty()) unlink(outputPath_.c_str());
}

bool ChildProcess::running() {
    if (status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = decodeStatus(status);
        if (!status_) status_ = -1;
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds timeout) {
    waitUntil([&] { return !running(); }, timeout);
    return status_;
}

void ChildProcess::sendSignal(int signal) {
    if (!status_) kill(pid_, signal);
}

std::string ChildProcess::outputText() const {
    std::ifstream in(outputPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<int> liveProcessesOf(const std::string& executable) {
    namespace fs = std::filesystem;
    std::vector<int> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code linkError;
        if (fs::read_symlink(entry.path() / "exe", linkError) != fs::path(executable)) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string pid, command, state;
        stat >> pid >> command >> state;
        if (state != "Z") found.push_back(std::stoi(name));
    }
    return found;
}

int threadsNamed(int pid, const std::string& prefix) {
    int count = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        count += name.rfind(prefix, 0) == 0;
    }
    return count;
}

}  // namespace tamaruka::test
