#pragma once
#include <cstdint>
#include <vector>

#include <GL/glx.h>

#include "fireworks/particle_list.h"

// Fireworks frames drawn through OpenGL into a GLX pbuffer on the current X
// display (with a depth buffer, as the hosts' windows have) and read back.
class GlFrameSnapshot {
public:
    // Throws std::runtime_error when the display offers no pbuffer.
    GlFrameSnapshot(int width, int height, double fieldOfViewDegrees);
    ~GlFrameSnapshot();
    GlFrameSnapshot(const GlFrameSnapshot&) = delete;
    GlFrameSnapshot& operator=(const GlFrameSnapshot&) = delete;

    // The frame, top row first, 3 bytes a pixel.
    std::vector<std::uint8_t> draw(const tamaruka::ParticleList& particles);

private:
    Display* display_ = nullptr;
    GLXPbuffer pbuffer_ = 0;
    GLXContext context_ = nullptr;
    unsigned int texture_ = 0;
    int width_, height_;
};
