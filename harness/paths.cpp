#include "harness/harness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <vector>
#include <thread>

namespace tamaruka::test {

std::string binDir() { return TAMARUKA_BIN_DIR; }
std::string sourceDir() { return TAMARUKA_SOURCE_DIR; }

namespace {

std::mutex createdMutex;
std::vector<std::string>& createdFolders() {
    static std::vector<std::string> folders;
    return folders;
}

void removeCreatedFolders() {
    if (std::getenv("TAMARUKA_KEEP_TEST_FILES")) return;
    std::lock_guard lock(createdMutex);
    std::error_code ignored;
    for (const auto& folder : createdFolders()) std::filesystem::remove_all(folder, ignored);
}

}  // namespace

std::string makeTempDir(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    std::lock_guard lock(createdMutex);
    if (createdFolders().empty()) std::atexit(removeCreatedFolders);
    createdFolders().push_back(pattern);
    return pattern;
}

void copyFrontEnd(const std::string& folder) {
    for (const char* program : {"Tamaruka.scr", "tamaruka-frontend"})
        std::filesystem::copy_file(binDir() + "/" + program, folder + "/" + program,
                                   std::filesystem::copy_options::overwrite_existing);
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace tamaruka::test
