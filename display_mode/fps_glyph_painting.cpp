#include "display_mode/fps_glyph_painting.h"

#include "display_mode/fps_glyphs.h"

namespace tamaruka {

FpsTextLayout glyphTextLayout(const std::string& text, int pixelSize) {
    return FpsTextLayout(text, glyphLineHeight(pixelSize), 0);
}

void paintGlyphText(const FrameImage& image, const FpsTextLayout& layout, int size, std::uint32_t colour) {
    for (const FpsTextLayout::Line& line : layout.lines()) {
        const int top = image.height - line.baseline - GlyphHeight * size;
        for (std::size_t i = 0; i < line.text.size(); ++i) {
            const GlyphRows rows = fpsGlyph(line.text[i]);
            const int left = line.left + static_cast<int>(i) * glyphAdvance(size);
            for (int y = 0; y < GlyphHeight * size; ++y) {
                const int py = top + y;
                if (py < 0 || py >= image.height) continue;
                auto* row = reinterpret_cast<std::uint32_t*>(image.pixels + py * image.bytesPerLine);
                for (int x = 0; x < GlyphWidth * size; ++x) {
                    const int px = left + x;
                    if (px >= image.width) break;
                    if (rows[y / size] & (1 << (GlyphWidth - 1 - x / size))) row[px] = colour;
                }
            }
        }
    }
}

}  // namespace tamaruka
