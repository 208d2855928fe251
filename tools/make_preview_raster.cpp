#include "make_preview_raster.h"

#include <algorithm>
#include <cmath>

namespace tamaruka::preview {

namespace {

constexpr float CameraDistance = 60.0f;
constexpr float FieldOfViewDegrees = 45.0f;

}  // namespace

SpriteTexture::SpriteTexture(std::span<const std::uint8_t> bmpFile) {
    // The embedded sprite: 24 bits, 32 x 32, pixels at offset 54, rows bottom
    // first, which is the texture's row order as well.
    Level base{32, std::vector<float>(32 * 32)};
    for (int i = 0; i < 32 * 32; ++i) base.grey[i] = bmpFile[54 + i * 3] / 255.0f;
    levels_.push_back(base);
    while (levels_.back().side > 1) {
        const Level& above = levels_.back();
        Level next{above.side / 2, std::vector<float>(static_cast<std::size_t>(above.side / 2) * (above.side / 2))};
        for (int y = 0; y < next.side; ++y)
            for (int x = 0; x < next.side; ++x)
                next.grey[y * next.side + x] =
                    0.25f * (above.grey[(2 * y) * above.side + 2 * x] + above.grey[(2 * y) * above.side + 2 * x + 1] +
                             above.grey[(2 * y + 1) * above.side + 2 * x] +
                             above.grey[(2 * y + 1) * above.side + 2 * x + 1]);
        levels_.push_back(std::move(next));
    }
}

float SpriteTexture::sample(float u, float v, float texelsPerPixel) const {
    const int wanted = static_cast<int>(std::lround(std::log2(std::max(texelsPerPixel, 1.0f))));
    const Level& level = levels_[std::clamp(wanted, 0, static_cast<int>(levels_.size()) - 1)];
    const int side = level.side;
    // Texel centres at (i + 0.5) / side; the default wrap mode repeats.
    const float x = u * side - 0.5f;
    const float y = v * side - 0.5f;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0;
    const float fy = y - y0;
    auto texel = [&](int tx, int ty) {
        tx = ((tx % side) + side) % side;
        ty = ((ty % side) + side) % side;
        return level.grey[ty * side + tx];
    };
    return (1 - fx) * (1 - fy) * texel(x0, y0) + fx * (1 - fy) * texel(x0 + 1, y0) +
           (1 - fx) * fy * texel(x0, y0 + 1) + fx * fy * texel(x0 + 1, y0 + 1);
}

Canvas drawFrame(const ParticleList& particles, const SpriteTexture& sprite, int width, int height) {
    Canvas canvas(width, height);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float focal = 1.0f / std::tan(FieldOfViewDegrees * 0.5f * 3.14159265f / 180.0f);
    for (const Particle* p = particles.head(); p; p = p->next) {
        const float depth = CameraDistance - p->z;  // distance in front of the camera
        if (depth < 1.0f || depth > 250.0f) continue;  // outside the near and far planes
        auto toColumn = [&](float x) { return (focal / aspect * x / depth + 1.0f) * 0.5f * width; };
        auto toRow = [&](float y) { return (1.0f - focal * y / depth) * 0.5f * height; };
        const float left = toColumn(p->x - p->halfSize);
        const float right = toColumn(p->x + p->halfSize);
        const float top = toRow(p->y + p->halfSize);
        const float bottom = toRow(p->y - p->halfSize);
        const float texelsPerPixel = 32.0f / std::max(right - left, 1e-3f);
        const float colour[3] = {std::clamp(p->red, 0.0f, 1.0f), std::clamp(p->green, 0.0f, 1.0f),
                                 std::clamp(p->blue, 0.0f, 1.0f)};
        const float alpha = std::clamp(p->alpha, 0.0f, 1.0f);
        const int firstColumn = std::max(0, static_cast<int>(std::ceil(left - 0.5f)));
        const int lastColumn = std::min(width - 1, static_cast<int>(std::ceil(right - 0.5f)) - 1);
        const int firstRow = std::max(0, static_cast<int>(std::ceil(top - 0.5f)));
        const int lastRow = std::min(height - 1, static_cast<int>(std::ceil(bottom - 0.5f)) - 1);
        for (int row = firstRow; row <= lastRow; ++row) {
            // Texture v runs from the square's bottom edge (0) to its top edge (1).
            const float v = (bottom - (row + 0.5f)) / (bottom - top);
            for (int column = firstColumn; column <= lastColumn; ++column) {
                const float u = ((column + 0.5f) - left) / (right - left);
                const float texel = sprite.sample(u, v, texelsPerPixel);
                float* pixel = &canvas.rgb[(static_cast<std::size_t>(row) * width + column) * 3];
                for (int c = 0; c < 3; ++c) pixel[c] = std::min(1.0f, pixel[c] + texel * colour[c] * alpha);
            }
        }
    }
    return canvas;
}

void lighten(Canvas& exposure, const Canvas& frame) {
    for (std::size_t i = 0; i < exposure.rgb.size(); ++i) exposure.rgb[i] = std::max(exposure.rgb[i], frame.rgb[i]);
}

Canvas shrink(const Canvas& canvas, int factor) {
    Canvas small(canvas.width / factor, canvas.height / factor);
    for (int row = 0; row < small.height; ++row)
        for (int column = 0; column < small.width; ++column)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += canvas.rgb[((static_cast<std::size_t>(row) * factor + dy) * canvas.width +
                                           column * factor + dx) * 3 + c];
                small.rgb[(static_cast<std::size_t>(row) * small.width + column) * 3 + c] = sum / (factor * factor);
            }
    return small;
}

}  // namespace tamaruka::preview
