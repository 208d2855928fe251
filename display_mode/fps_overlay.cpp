#include "display_mode/fps_overlay.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <sstream>
#include <vector>

namespace tamaruka {

namespace {
constexpr int FirstGlyph = 32;
constexpr int GlyphCount = 96;  // printable ASCII
constexpr int Margin = 8;
}  // namespace

FpsOverlay::FpsOverlay(Display* display) {
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    if (!font) return;
    listBase_ = glGenLists(GlyphCount);
    if (listBase_ != 0) {
        glXUseXFont(font->fid, FirstGlyph, GlyphCount, static_cast<int>(listBase_));
        lineHeight_ = font->ascent + font->descent;
        descent_ = font->descent;
    }
    XFreeFont(display, font);
}

FpsOverlay::~FpsOverlay() {
    if (listBase_ != 0) glDeleteLists(listBase_, GlyphCount);
}

void FpsOverlay::draw(const std::string& text, int width, int height) {
    if (!ready()) return;
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);

    // Plain white bitmaps over the picture, in window pixels; the scene's
    // state comes back afterwards.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIST_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glListBase(listBase_ - FirstGlyph);
    int y = Margin + descent_;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line, y += lineHeight_) {
        glRasterPos2i(Margin, y);
        glCallLists(static_cast<GLsizei>(line->size()), GL_UNSIGNED_BYTE, line->data());
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace tamaruka
