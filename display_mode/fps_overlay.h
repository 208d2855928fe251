#pragma once
#include <string>

#include <X11/Xlib.h>

namespace tamaruka {

// Text in the bottom-left corner of the current OpenGL context's window,
// drawn with OpenGL 1.1 bitmaps: in the X core font "fixed" (glXUseXFont), or
// in a small built-in font where there is no X server.
class FpsOverlay {
public:
    // Builds the glyphs in the current context; without the font nothing is drawn.
    explicit FpsOverlay(Display* display);
    // The built-in font, each of its pixels `pixelSize` pixels wide and high
    // (the buffer scale of the surface).
    explicit FpsOverlay(int pixelSize);
    ~FpsOverlay();  // the context must be current
    FpsOverlay(const FpsOverlay&) = delete;
    FpsOverlay& operator=(const FpsOverlay&) = delete;

    bool ready() const { return listBase_ != 0; }
    // For a context that cannot be made current any more: its lists go with it.
    void forgetLists() { listBase_ = 0; }
    // Lines separated by '\n', the last one at the bottom.
    void draw(const std::string& text, int width, int height);

private:
    unsigned int listBase_ = 0;
    int lineHeight_ = 0;
    int descent_ = 0;
};

}  // namespace tamaruka
