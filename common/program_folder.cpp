#include "common/program_folder.h"

#include <filesystem>
#include <system_error>

#include "common/file_without_blocking.h"

namespace tamaruka {

std::string programFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    std::string folder = executable.parent_path().string();
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string rendererFilePath(const std::string& programFolder) { return programFolder + "/Tamaruka.data"; }

bool FileExists(std::string path) {
    if (!path.empty() && path.back() == '/') path.pop_back();
    if (path.empty()) return false;
    // Non-blocking, so that a FIFO is tested without waiting for a writer.
    const FileWithoutBlocking opened = openWithoutBlocking(path);
    return opened.error == 0 && !S_ISDIR(opened.status.st_mode);
}

}  // namespace tamaruka
