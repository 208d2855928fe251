// Tamaruka.data: the fireworks renderer. Takes no arguments and no settings.
#include "common/software_gl_threads.h"
#include "renderer/gl_scene_graphics.h"
#include "renderer/renderer_program.h"
#include "renderer/sdl_renderer_platform.h"

int main(int, char**) {
    // Before SDL loads OpenGL: the frame is always 1024 x 768.
    tamaruka::chooseSoftwareGlThreads(std::int64_t{tamaruka::RendererProgram::ScreenWidth} *
                                      tamaruka::RendererProgram::ScreenHeight);
    tamaruka::SdlRendererPlatform platform;
    tamaruka::GlSceneGraphics graphics;
    tamaruka::RendererProgram program(platform, graphics);
    return program.winMain();
}
