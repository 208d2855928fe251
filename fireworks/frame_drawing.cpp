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

void drawFrame(const ParticleList& particles, unsigned int spriteTexture) {
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, spriteTexture);
    glTranslatef(0.0f, 0.0f, -60.0f);
    for (const Particle* p = particles.head(); p; p = p->next) {
        const float s = p->halfSize;
        glColor4f(p->red, p->green, p->blue, p->alpha);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2d(1, 1);
        glVertex3f(p->x + s, p->y + s, p->z);
        glTexCoord2d(0, 1);
        glVertex3f(p->x - s, p->y + s, p->z);
        glTexCoord2d(1, 0);
        glVertex3f(p->x + s, p->y - s, p->z);
        glTexCoord2d(0, 0);
        glVertex3f(p->x - s, p->y - s, p->z);
        glEnd();
    }
}

}  // namespace tamaruka
