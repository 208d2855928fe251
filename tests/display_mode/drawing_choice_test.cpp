// When tamaruka composes its frames on the CPU: software GL renderers, the
// window's pixel format and the TAMARUKA_DRAWING override.
#include "display_mode/drawing_choice.h"

#include <gtest/gtest.h>

namespace tamaruka {
namespace {

WindowPixelFormat trueColor(int depth) {
    return {.trueColor = true, .depth = depth, .bitsPerPixel = 32, .redMask = 0xFF0000, .greenMask = 0x00FF00,
            .blueMask = 0x0000FF, .leastSignificantByteFirst = true};
}

TEST(DrawingChoiceTest, SoftwareRasterisersDrawOnTheCpuEveryOtherRendererWithGl) {
    const struct {
        const char* renderer;
        FrameDrawing expected;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", FrameDrawing::Cpu},
        {"softpipe", FrameDrawing::Cpu},
        {"Software Rasterizer", FrameDrawing::Cpu},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", FrameDrawing::Gl},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0)", FrameDrawing::Gl},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", FrameDrawing::Gl},
        {"virgl (Intel(R) UHD Graphics 620)", FrameDrawing::Gl},
        {"SVGA3D; build: RELEASE;  LLVM;", FrameDrawing::Gl},
        {"", FrameDrawing::Gl},
    };
    for (const auto& c : cases)
        for (int depth : {24, 32})
            EXPECT_EQ(chooseFrameDrawing(c.renderer, trueColor(depth), nullptr), c.expected)
                << c.renderer << " at depth " << depth;
}

TEST(DrawingChoiceTest, OnlyTrueColorWithEightBitChannelsTakesComposedFrames) {
    EXPECT_TRUE(takesComposedFrames(trueColor(24)));
    EXPECT_TRUE(takesComposedFrames(trueColor(32)));
    WindowPixelFormat deep = trueColor(30);
    deep.redMask = 0x3FF00000;
    deep.greenMask = 0xFFC00;
    deep.blueMask = 0x3FF;
    WindowPixelFormat direct = trueColor(24);
    direct.trueColor = false;
    WindowPixelFormat swapped = trueColor(24);
    std::swap(swapped.redMask, swapped.blueMask);
    WindowPixelFormat bigEndian = trueColor(24);
    bigEndian.leastSignificantByteFirst = false;
    WindowPixelFormat packed = trueColor(24);
    packed.bitsPerPixel = 24;
    WindowPixelFormat sixteen = trueColor(16);
    sixteen.redMask = 0xF800;
    sixteen.greenMask = 0x7E0;
    sixteen.blueMask = 0x1F;
    for (const WindowPixelFormat& format : {deep, direct, swapped, bigEndian, packed, sixteen}) {
        EXPECT_FALSE(takesComposedFrames(format)) << "depth " << format.depth;
        EXPECT_EQ(chooseFrameDrawing("llvmpipe (LLVM 15.0.6, 256 bits)", format, nullptr), FrameDrawing::Gl);
        EXPECT_EQ(chooseFrameDrawing("llvmpipe", format, "cpu"), FrameDrawing::Gl);
    }
}

TEST(DrawingChoiceTest, TheOverrideDecidesWhereTheWindowTakesComposedFrames) {
    EXPECT_EQ(chooseFrameDrawing("llvmpipe", trueColor(24), "gl"), FrameDrawing::Gl);
    EXPECT_EQ(chooseFrameDrawing("NVIDIA GeForce GTX 1060/PCIe/SSE2", trueColor(24), "cpu"), FrameDrawing::Cpu);
    for (const char* ignored : {"", "CPU", "software", "gl "}) {
        EXPECT_EQ(chooseFrameDrawing("llvmpipe", trueColor(24), ignored), FrameDrawing::Cpu) << ignored;
        EXPECT_EQ(chooseFrameDrawing("AMD Radeon", trueColor(24), ignored), FrameDrawing::Gl) << ignored;
    }
    EXPECT_STREQ(frameDrawingName(FrameDrawing::Cpu), "CPU");
    EXPECT_STREQ(frameDrawingName(FrameDrawing::Gl), "GL");
}

}  // namespace
}  // namespace tamaruka
