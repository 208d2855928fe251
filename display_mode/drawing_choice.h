#pragma once
#include <string_view>

namespace tamaruka {

// How a window's frames are drawn: by OpenGL, or composed on the CPU and put
// into the window as an image.
enum class FrameDrawing { Gl, Cpu };

// What the choice needs to know of the window's visual and the server's images.
struct WindowPixelFormat {
    bool trueColor = false;
    int depth = 0;
    int bitsPerPixel = 0;  // of the server's images at that depth
    unsigned long redMask = 0, greenMask = 0, blueMask = 0;
    bool leastSignificantByteFirst = true;  // the server's image byte order
};

// Whether the composed frame (32-bit pixels, blue in the lowest byte) is the
// window's own pixel format: 24- or 32-bit TrueColor with 8-bit channels.
bool takesComposedFrames(const WindowPixelFormat& format);

// The drawing for a window, once its GL context is current: the CPU where
// GL_RENDERER names a software rasteriser (llvmpipe, softpipe, the classic
// "Software Rasterizer") and the window takes composed frames; GL everywhere
// else, GPUs and virtual-GPU drivers alike. `overrideSetting` is
// TAMARUKA_DRAWING: "gl" or "cpu" decides instead (the CPU only where the
// window takes its frames); anything else is ignored.
FrameDrawing chooseFrameDrawing(std::string_view glRenderer, const WindowPixelFormat& format,
                                const char* overrideSetting);

// "GL" or "CPU", as --fps shows it.
const char* frameDrawingName(FrameDrawing drawing);

}  // namespace tamaruka
