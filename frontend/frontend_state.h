#pragma once
#include <cstdint>
#include <string>

#include "settings/music_settings.h"

namespace tamaruka {

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
