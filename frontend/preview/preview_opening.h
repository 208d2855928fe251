#pragma once
#include <cstdint>
#include <optional>

namespace tamaruka {

struct HostSize {
    int width = 0;
    int height = 0;
};

// What opening the preview needs from the platform. The real one sits on Qt
// and xcb (preview_window.cpp); the tests use a recording fake. A call that
// cannot be made throws StepError, which abandons its step.
class PreviewPlatform {
public:
    virtual ~PreviewPlatform() = default;
    // GetWindowRect: the host window's size; nullopt when no window has that id.
    virtual std::optional<HostSize> hostSize(std::uint32_t host) = 0;
    // Creates the preview window Kirabo_R without showing it.
    virtual void createWindow() = 0;
    // Makes the host the preview window's parent and ends the program when the
    // host goes away.
    virtual void embedIn(std::uint32_t host) = 0;
    // Places the preview window at (0, 0) of the host with this size.
    virtual void placeWindow(int width, int height) = 0;
    // Gives the picture this size at (0, 0); it is drawn stretched.
    virtual void placePicture(int width, int height) = 0;
    virtual void showWindow() = 0;
    // The immediate end, exit code 0. The fake records it and returns.
    virtual void endProgram() = 0;
};

// A size in pixels on its way to the window: held as a 16-bit number of
// twips (15 per pixel), so beyond 2184 pixels it overflows (StepError).
int previewPixelsThroughTwips(int pixels);

// Opens the preview in the host window, every step under the error rule. A
// host handle of 0, or one that names no window, ends the program at once
// instead of leaving an invisible preview behind.
void openInHost(std::int32_t hostHandle, PreviewPlatform& platform);

}  // namespace tamaruka
