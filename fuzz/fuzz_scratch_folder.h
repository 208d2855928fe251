#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tamaruka::fuzz {

// A folder of the fuzz process's own for targets that read files: in
// /dev/shm when there is one, so that millions of writes stay in memory.
// Removed when the process ends normally.
inline const std::string& scratchFolder() {
    struct Folder {
        std::string path =
            std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/tamaruka-fuzz-XXXXXX";
        Folder() {
            if (::mkdtemp(path.data()) == nullptr) std::abort();
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

}  // namespace tamaruka::fuzz
