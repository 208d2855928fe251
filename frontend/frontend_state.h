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

// The front-end's module-level values, shared by its windows. One instance per
// process, reached through frontEndState(); tests build their own.
struct FrontEndState {
    MusicSettings settings;
    std::int16_t startCursorX = 0;  // pointer position noted at run start / dialog load
    std::int16_t startCursorY = 0;
    std::int32_t cursorCount = 0;   // display counter returned when run mode hid the pointer
    std::string argumentText;       // arguments after the program name, joined by blanks
    std::string modeLetter;         // second character of the upper-cased argument text
    std::string programFolder;      // folder of the running executable, no trailing slash
};

FrontEndState& frontEndState();

}  // namespace tamaruka
