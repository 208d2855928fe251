#pragma once
#include <string>

struct SDL_RWops;

namespace tamaruka {

// A music file opened for reading only when it is a regular file, as the open
// descriptor shows: a FIFO, a terminal or a device would block the loader in
// open() or read() for good. Null otherwise. `size` receives the file's size.
// The stream closes the file when SDL_RWclose (or a loader owning it) ends it.
SDL_RWops* openMusicFile(const std::string& path, long long& size);

}  // namespace tamaruka
