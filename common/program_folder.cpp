#include "common/program_folder.h"

#include <filesystem>
#include <system_error>

namespace tamaruka {

std::string programFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    std::string folder = executable.parent_path().string();
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace tamaruka
