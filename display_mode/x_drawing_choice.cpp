#include "display_mode/x_drawing_choice.h"

#include <GL/gl.h>
#include <X11/Xutil.h>

#include <cstdlib>

namespace tamaruka {

namespace {

int bitsPerPixelAtDepth(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    if (formats) XFree(formats);
    return bits;
}

WindowPixelFormat pixelFormatOf(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || !attributes.visual) return {};
    const Visual* visual = attributes.visual;
    return {.trueColor = visual->c_class == TrueColor,
            .depth = attributes.depth,
            .bitsPerPixel = bitsPerPixelAtDepth(display, attributes.depth),
            .redMask = visual->red_mask,
            .greenMask = visual->green_mask,
            .blueMask = visual->blue_mask,
            .leastSignificantByteFirst = ImageByteOrder(display) == LSBFirst};
}

}  // namespace

FrameDrawing chooseXWindowDrawing(Display* display, Window window) {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return chooseFrameDrawing(renderer ? renderer : "", pixelFormatOf(display, window),
                              std::getenv("TAMARUKA_DRAWING"));
}

}  // namespace tamaruka
