#pragma once
#include <string>

namespace tamaruka::x11 {

// The process's own connection to the X server named by DISPLAY, opened once
// and kept for the program's life (the hidden pointer belongs to it).
// False, with a one-line reason, when there is no usable display.
bool openDisplay(std::string& reason);

// Bits per pixel of the root window's pixmap format, as a BMP depth: 24 or 32.
int rootBitsPerPixel();

// Sends what is still queued to the X server (before an immediate end).
void flush();

}  // namespace tamaruka::x11
