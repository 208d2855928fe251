#pragma once
#include <cstdint>

#include "display_mode/fps_text_layout.h"
#include "fireworks/frame_image.h"

namespace tamaruka {

// The --fps text in the built-in font, each glyph pixel `pixelSize` pixels
// square, placed in a window's bottom-left corner.
FpsTextLayout glyphTextLayout(const std::string& text, int pixelSize);

// Paints `layout`'s lines in the built-in font into `image` in `colour`,
// clipped at the image's edges. The layout must be glyphTextLayout()'s of the
// same pixel size.
void paintGlyphText(const FrameImage& image, const FpsTextLayout& layout, int pixelSize,
                    std::uint32_t colour);

}  // namespace tamaruka
