// Tamaruka.data: the fireworks renderer. Takes no arguments and no settings.
#include "renderer/gl_scene_graphics.h"
#include "renderer/renderer_program.h"
#include "renderer/sdl_renderer_platform.h"

int main(int, char**) {
    tamaruka::SdlRendererPlatform platform;
    tamaruka::GlSceneGraphics graphics;
    tamaruka::RendererProgram program(platform, graphics);
    return program.winMain();
}
