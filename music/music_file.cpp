#include "music/music_file.h"

#include <SDL.h>
#include <cstdio>

#include "common/file_without_blocking.h"

namespace tamaruka {

SDL_RWops* openMusicFile(const std::string& path, long long& size) {
    size = 0;
    if (path.empty()) return nullptr;
    // Without O_NONBLOCK a FIFO's open() waits for a writer that never comes.
    FileWithoutBlocking opened = openWithoutBlocking(path);
    if (opened.error != 0 || !S_ISREG(opened.status.st_mode) || makeBlocking(opened.fd) != 0) return nullptr;
    std::FILE* file = ::fdopen(opened.fd.get(), "rb");
    if (file == nullptr) return nullptr;
    opened.fd.release();  // the stream closes it now
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (stream == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    size = opened.status.st_size;
    return stream;
}

}  // namespace tamaruka
