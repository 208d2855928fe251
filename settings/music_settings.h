#pragma once
#include <cstdint>
#include <string>

namespace tamaruka {

// The three music settings, loaded from the INI file and written only by the
// settings dialog. Kinds other than 0, 1 and 2 load and store but play nothing.
struct MusicSettings {
    std::int16_t bgmKind = 0;    // 0 no music, 1 audio CD, 2 music file
    std::int16_t bgmRepeat = 0;  // CD track to repeat, 0 = whole disc
    std::string bgmFile;         // full path (UTF-8 inside the program)
};

}  // namespace tamaruka
