#include "display_mode/drawing_choice.h"

#include <array>
#include <string>

namespace tamaruka {

namespace {

bool isSoftwareRasteriser(std::string_view renderer) {
    constexpr std::array<std::string_view, 3> Names = {"llvmpipe", "softpipe", "Software Rasterizer"};
    for (std::string_view name : Names)
        if (renderer.find(name) != std::string_view::npos) return true;
    return false;
}

}  // namespace

bool takesComposedFrames(const WindowPixelFormat& format) {
    return format.trueColor && (format.depth == 24 || format.depth == 32) && format.bitsPerPixel == 32 &&
           format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 && format.blueMask == 0x0000FF &&
           format.leastSignificantByteFirst;
}

FrameDrawing chooseFrameDrawing(std::string_view glRenderer, const WindowPixelFormat& format,
                                const char* overrideSetting) {
    const std::string setting = overrideSetting ? overrideSetting : "";
    if (setting == "gl") return FrameDrawing::Gl;
    if (!takesComposedFrames(format)) return FrameDrawing::Gl;
    if (setting == "cpu") return FrameDrawing::Cpu;
    return isSoftwareRasteriser(glRenderer) ? FrameDrawing::Cpu : FrameDrawing::Gl;
}

const char* frameDrawingName(FrameDrawing drawing) { return drawing == FrameDrawing::Cpu ? "CPU" : "GL"; }

}  // namespace tamaruka
