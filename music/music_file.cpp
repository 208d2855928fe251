#include "music/music_file.h"

#include <SDL.h>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamaruka {

SDL_RWops* openMusicFile(const std::string& path, long long& size) {
    size = 0;
    if (path.empty()) return nullptr;
    // Without O_NONBLOCK a FIFO's open() waits for a writer that never comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        return nullptr;
    }
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (stream == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    size = status.st_size;
    return stream;
}

}  // namespace tamaruka
