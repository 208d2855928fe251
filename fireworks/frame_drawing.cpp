#include "fireworks/frame_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace tamaruka {

void resizeScene(int width, int height, double fieldOfViewDegrees) {
    if (height == 0) height = 1;
    // Additive blending: black texels add nothing, overlapping sparks brighten
    // towards white, and the drawing order does not matter.
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfViewDegrees, static_cast<GLdouble>(width) / static_cast<GLdouble>(height), 1.0, 250.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

namespace {

struct Corner {
    GLdouble s, t;  // texture coordinates; the vertex lies halfSize away in the same directions
};

// Strip order: top right, top left, bottom right, bottom left. The fan walks
// the same corners round the square.
constexpr Corner StripCorners[4] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
constexpr Corner FanCorners[4] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};

}  // namespace

void drawFrame(const ParticleList& particles, unsigned int spriteTexture, SquarePrimitive primitive) {
    const bool fan = primitive == SquarePrimitive::TriangleFan;
    const Corner* corners = fan ? FanCorners : StripCorners;
    const GLenum mode = fan ? GL_TRIANGLE_FAN : GL_TRIANGLE_STRIP;
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, spriteTexture);
    glTranslatef(0.0f, 0.0f, -60.0f);
    for (const Particle* p = particles.head(); p; p = p->next) {
        const float s = p->halfSize;
        glColor4f(p->red, p->green, p->blue, p->alpha);
        glBegin(mode);
        for (int i = 0; i < 4; ++i) {
            const Corner& c = corners[i];
            glTexCoord2d(c.s, c.t);
            glVertex3f(c.s > 0 ? p->x + s : p->x - s, c.t > 0 ? p->y + s : p->y - s, p->z);
        }
        glEnd();
    }
}

}  // namespace tamaruka
