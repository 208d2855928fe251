#include "frame_snapshot_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <stdexcept>
#include <variant>

#include "dib/dib_decoder.h"
#include "fireworks/frame_drawing.h"
#include "fireworks/sprite_bitmap.h"
#include "fireworks/sprite_texture_image.h"

GlFrameSnapshot::GlFrameSnapshot(int width, int height, double fieldOfViewDegrees)
    : width_(width), height_(height) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) throw std::runtime_error("cannot open the X display");
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                              GLX_DEPTH_SIZE, 24, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display_, DefaultScreen(display_), attributes, &count);
    // GLX lists deeper colour first; the windows' 24-bit visuals have 8-bit channels.
    const auto bits = [&](GLXFBConfig config, int attribute) {
        int value = 0;
        glXGetFBConfigAttrib(display_, config, attribute, &value);
        return value;
    };
    GLXFBConfig chosen = nullptr;
    for (int i = 0; i < count && !chosen; ++i)
        if (bits(configs[i], GLX_RED_SIZE) == 8 && bits(configs[i], GLX_GREEN_SIZE) == 8 &&
            bits(configs[i], GLX_BLUE_SIZE) == 8)
            chosen = configs[i];
    if (chosen) {
        const int size[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
        pbuffer_ = glXCreatePbuffer(display_, chosen, size);
        context_ = glXCreateNewContext(display_, chosen, GLX_RGBA_TYPE, nullptr, True);
    }
    if (configs) XFree(configs);
    if (!pbuffer_ || !context_ || !glXMakeContextCurrent(display_, pbuffer_, pbuffer_, context_)) {
        this->~GlFrameSnapshot();
        throw std::runtime_error("cannot draw into a pbuffer on this display");
    }
    std::optional<tamaruka::DibImage> image;
    auto decoded = tamaruka::decodeDib(tamaruka::spriteBitmap());
    if (auto* bitmap = std::get_if<tamaruka::DibImage>(&decoded)) image = std::move(*bitmap);
    texture_ = tamaruka::createSpriteTexture(image);
    tamaruka::resizeScene(width, height, fieldOfViewDegrees);
}

GlFrameSnapshot::~GlFrameSnapshot() {
    if (!display_) return;
    if (texture_) tamaruka::deleteSpriteTexture(texture_);
    glXMakeContextCurrent(display_, None, None, nullptr);
    if (context_) glXDestroyContext(display_, context_);
    if (pbuffer_) glXDestroyPbuffer(display_, pbuffer_);
    XCloseDisplay(display_);
    display_ = nullptr;
}

std::vector<std::uint8_t> GlFrameSnapshot::draw(const tamaruka::ParticleList& particles) {
    // The display mode's primitive.
    tamaruka::drawFrame(particles, texture_, tamaruka::SquarePrimitive::TriangleFan);
    glFinish();
    std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(width_) * height_ * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> rgb(bottomUp.size());
    const std::size_t line = static_cast<std::size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y)
        std::copy_n(&bottomUp[static_cast<std::size_t>(height_ - 1 - y) * line], line, &rgb[y * line]);
    return rgb;
}
