#include "tests/support/saver_install.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "settings/settings_store.h"

namespace tamaruka::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

SaverInstall::SaverInstall() : folder_(makeTempDir("tamaruka-run")), cacheFolder_(folder_ + "/cache") {
    // Copies, not links: the front-end finds its settings and the renderer
    // beside its own executable, which a link would resolve to build/bin.
    copyFrontEnd(folder_);
    fs::copy_file(binDir() + "/Tamaruka.data", folder_ + "/Tamaruka.data", fs::copy_options::overwrite_existing);
    fs::create_directories(cacheFolder_);
}

void SaverInstall::writeSettings(int kind, int repeat, const std::string& file) {
    const std::string ini = settingsFilePath(folder_);
    WriteIni(settingsSection, bgmKindKey, " " + std::to_string(kind), ini);
    WriteIni(settingsSection, bgmRepeatKey, " " + std::to_string(repeat), ini);
    WriteIni(settingsSection, bgmFileKey, file, ini);
}

std::unique_ptr<ChildProcess> SaverInstall::start(const std::vector<std::string>& args,
                                                  std::map<std::string, std::string> extraEnv) const {
    extraEnv.emplace("XDG_CACHE_HOME", cacheFolder_);
    // No per-user settings of whoever runs the tests: the file beside the
    // programs is the one read.
    extraEnv.emplace("XDG_CONFIG_HOME", folder_ + "/config");
    return std::make_unique<ChildProcess>(folder_ + "/Tamaruka.scr", args, extraEnv);
}

std::vector<int> SaverInstall::rendererProcesses() const {
    return liveProcessesOf((fs::path(folder_) / "Tamaruka.data").string());
}

void SaverInstall::replaceRenderer(const std::string& content, bool executable) const {
    const std::string path = folder_ + "/Tamaruka.data";
    fs::remove(path);
    std::ofstream(path) << content;
    fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644));
}

std::vector<int> zombieChildren(int parent) {
    std::vector<int> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // pid (command) state ppid ...; the command may hold blanks.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        std::istringstream(line.substr(close + 1)) >> state >> ppid;
        if (ppid == parent && state == 'Z') found.push_back(std::stoi(name));
    }
    return found;
}

void SaverInstall::killRenderers() const {
    for (int pid : rendererProcesses()) ::kill(pid, SIGKILL);
}

void wiggleUntilRendererEnds(XClient& x, const SaverInstall& install) {
    for (int step = 0; step < 40 && install.rendererRunning(); ++step) {
        x.movePointer(100 + (step % 2) * 7, 100 + step * 3);
        std::this_thread::sleep_for(20ms);
    }
}

}  // namespace tamaruka::test
