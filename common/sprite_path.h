#pragma once
#include <string>

namespace tamaruka {

// Where the front-end writes the particle sprite and the renderer reads it:
// $XDG_CACHE_HOME/tamaruka/Fireworks.bmp, or <home>/.cache/tamaruka/Fireworks.bmp
// when XDG_CACHE_HOME is unset or not an absolute path (home: $HOME, else the
// password database), while that folder can be written or made; else
// $XDG_RUNTIME_DIR/tamaruka/Fireworks.bmp when that folder is the user's own
// and private. Empty when there is none of these:
// the run then goes without the file (the renderer reports that it cannot
// open it). Both programs call this one function so that they always agree
// on the file.
std::string spriteFilePath();

// The folder that holds the sprite file (spriteFilePath() without its name);
// empty when there is none.
std::string spriteFolderPath();

}  // namespace tamaruka
