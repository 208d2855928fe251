#include "display_mode/display_mode_music.h"

namespace tamaruka {

// Silent until the music for the display mode is wired in.
std::unique_ptr<DisplayModeMusic> startDisplayModeMusic(bool, const std::string&) { return nullptr; }

}  // namespace tamaruka
