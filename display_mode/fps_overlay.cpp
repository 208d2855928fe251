#include "display_mode/fps_overlay.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <algorithm>
#include <vector>

#include "display_mode/fps_glyphs.h"
#include "display_mode/fps_text_layout.h"

namespace tamaruka {

namespace {
constexpr int FirstGlyph = 32;
constexpr int GlyphCount = 96;  // printable ASCII
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

FpsOverlay::FpsOverlay(int pixelSize) {
    const int size = glyphPixelSize(pixelSize);
    listBase_ = glGenLists(GlyphCount);
    if (listBase_ == 0) return;
    const int width = GlyphWidth * size, height = GlyphHeight * size;
    const int rowBytes = (width + 7) / 8;
    std::vector<GLubyte> bitmap(static_cast<std::size_t>(rowBytes) * height);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < GlyphCount; ++i) {
        const GlyphRows rows = fpsGlyph(static_cast<char>(FirstGlyph + i));
        std::fill(bitmap.begin(), bitmap.end(), 0);
        // glBitmap's rows go upwards, its bits from the left (most significant first).
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (rows[GlyphHeight - 1 - y / size] & (1 << (GlyphWidth - 1 - x / size)))
                    bitmap[y * rowBytes + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
        glNewList(listBase_ + i, GL_COMPILE);
        glBitmap(width, height, 0, 0, static_cast<GLfloat>(glyphAdvance(size)), 0, bitmap.data());
        glEndList();
    }
    glPopClientAttrib();
    lineHeight_ = glyphLineHeight(size);
    descent_ = 0;
}

FpsOverlay::~FpsOverlay() {
    if (listBase_ != 0) glDeleteLists(listBase_, GlyphCount);
}

void FpsOverlay::draw(const std::string& text, int width, int height) {
    if (!ready()) return;

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
    // Heights above the bottom edge are the projection's own y.
    const FpsTextLayout layout(text, lineHeight_, descent_);
    for (const FpsTextLayout::Line& line : layout.lines()) {
        glRasterPos2i(line.left, line.baseline);
        glCallLists(static_cast<GLsizei>(line.text.size()), GL_UNSIGNED_BYTE, line.text.data());
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace tamaruka
