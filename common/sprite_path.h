#pragma once
#include <string>

namespace tamaruka {

// Where the front-end writes the particle sprite and the renderer reads it:
// $XDG_CACHE_HOME/tamaruka/Fireworks.bmp, or $HOME/.cache/tamaruka/Fireworks.bmp
// when XDG_CACHE_HOME is unset or not an absolute path. Both programs call this
// one function so that they always agree on the file.
std::string spriteFilePath();

// The folder that holds the sprite file (spriteFilePath() without its name).
std::string spriteFolderPath();

}  // namespace tamaruka
