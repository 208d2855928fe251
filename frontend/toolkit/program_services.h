#pragma once
#include <string>

#include "frontend/toolkit/bitmap_file.h"

namespace tamaruka {

// The program services that the front-end's windows rely on. Qt stays behind
// this header.

// The application title: the caption of the message box.
inline constexpr const char* applicationTitle = "Tamaruka";

// Window designs are in twips; 15 per pixel at 96 dots per inch.
inline constexpr int twipsPerPixel = 15;

// Keeps the command line for the QApplication; main() calls it first.
void setCommandLine(int argc, char** argv);

// Creates the QApplication on first use (start-up paths that end before any
// window is needed never pay for it). Every window service here calls it;
// code that builds windows calls it before the first widget. Closing the last
// visible window does not quit by itself: the program ends through a Form's
// unload (see form.h) or immediateEnd().
void ensureApplication();

// Runs the program's event loop until the last form unloads (QApplication::exec).
int runEventLoop();
// True while runEventLoop() runs.
bool eventLoopRunning();


// The arguments after the program's name, joined by single blanks.
std::string argumentText(int argc, char** argv);

// A modal message box with only an OK button, no icon, captioned with the
// application title. Returns when the user has closed it.
void messageBox(const std::string& text);

// Programs are started through ChildProgram (frontend/platform/child_program.h).

// Ends the process at once: standard output and error are flushed, then no
// close or unload handler runs.
[[noreturn]] void immediateEnd(int exitCode = 0);

// The application-wide mouse pointer.
enum class ApplicationPointer { Arrow, Hourglass };
void setApplicationPointer(ApplicationPointer pointer);

// The primary screen's size in pixels.
struct ScreenSize {
    int width = 0;
    int height = 0;
};
ScreenSize screenSize();

// Bits per pixel of a BMP saved in the display's colour format: 24 or 32.
int displayBitsPerPixel();

// Saves the picture as an uncompressed BMP in the display's colour format,
// atomically (temporary file + rename), creating the folder when needed. A
// symbolic link at the path is replaced by the file, never written through.
// False, silently, when it could not be written.
bool saveBitmapFileAtomically(const std::string& path, const Bitmap& bitmap);

}  // namespace tamaruka
