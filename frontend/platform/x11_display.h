#pragma once
#include <string>

namespace tamaruka::x11 {

// The process's own connection to the X server named by DISPLAY, opened once
// and kept for the program's life (the hidden pointer belongs to it).
// False, with a one-line reason, when there is no usable display.
bool openDisplay(std::string& reason);

}  // namespace tamaruka::x11
