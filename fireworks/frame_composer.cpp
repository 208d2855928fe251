#include "fireworks/frame_composer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace tamaruka {

namespace {

constexpr float SubpixelSteps = 256.0f;   // vertices snap to 1/256 pixel
constexpr float NearPlane = 1.0f, FarPlane = 250.0f;
constexpr float SceneDistance = 60.0f;  // the scene's translation away from the eye

// A float colour to a byte as llvmpipe converts it: times 255, rounded half to even.
std::uint32_t toByte(float value) {
    return static_cast<std::uint32_t>(std::nearbyint(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

// The nearest mip level: floor(log2(rho * sqrt 2)) from the float exponent,
// 0 when the sprite is magnified.
int mipLevel(float rho, int lastLevel) {
    if (!(rho > 1.0f)) return 0;
    const int level = std::ilogb(rho * std::numbers::sqrt2_v<float>);
    return std::clamp(level, 0, lastLevel);
}

}  // namespace

FrameComposer::FrameComposer(SpriteMipChain sprite) : sprite_(std::move(sprite)) {
    // Each row gets a copy of its first texel at its end, where REPEAT takes
    // the last column's second tap from: a column's two taps are then always
    // neighbours in memory.
    for (const auto& level : sprite_.levels()) {
        const auto side = static_cast<std::size_t>(level.side);
        std::vector<std::uint32_t> padded;
        padded.reserve((side + 1) * side);
        for (std::size_t row = 0; row < side; ++row) {
            const auto first = level.texels.begin() + static_cast<std::ptrdiff_t>(row * side);
            padded.insert(padded.end(), first, first + static_cast<std::ptrdiff_t>(side));
            padded.push_back(*first);
        }
        paddedLevels_.push_back(std::move(padded));
    }
}

void FrameComposer::resize(int width, int height, double fieldOfViewDegrees) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    // gluPerspective in double, kept by OpenGL as float.
    const double radians = fieldOfViewDegrees / 2 * std::numbers::pi / 180;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const double aspect = static_cast<double>(width_) / static_cast<double>(height_);
    xScale_ = static_cast<float>(cotangent / aspect);
    yScale_ = static_cast<float>(cotangent);
}

void FrameComposer::compose(const ParticleList& particles, const FrameImage& image) {
    // Into the image of the last frame only what it drew is cleared.
    const bool sameImage = image.pixels == lastImage_.pixels && image.width == lastImage_.width &&
                           image.height == lastImage_.height && image.bytesPerLine == lastImage_.bytesPerLine &&
                           image.alphaInTopByte == lastImage_.alphaInTopByte;
    if (!sameImage) drawnRows_.assign(static_cast<std::size_t>(image.height), {0, image.width});
    changedRows_ = drawnRows_;
    // Black; opaque where the top byte is alpha (the squares add nothing to it).
    const std::uint32_t black = image.alphaInTopByte ? 0xFF000000u : 0u;
    for (int y = 0; y < image.height; ++y) {
        auto& [from, to] = drawnRows_[static_cast<std::size_t>(y)];
        if (from < to) {
            std::uint8_t* row = image.pixels + y * image.bytesPerLine + from * 4;
            if (black == 0) std::memset(row, 0, static_cast<std::size_t>(to - from) * 4);
            else
                for (int x = from; x < to; ++x, row += 4) std::memcpy(row, &black, 4);
        }
        from = image.width;
        to = 0;
    }
    lastImage_ = image;
    for (const Particle* p = particles.head(); p; p = p->next) drawParticle(*p, p == particles.head(), image);
    for (std::size_t y = 0; y < changedRows_.size(); ++y) {
        auto& [from, to] = changedRows_[y];
        const auto [drawnFrom, drawnTo] = drawnRows_[y];
        if (drawnFrom >= drawnTo) continue;
        if (from >= to) {
            from = drawnFrom;
            to = drawnTo;
        } else {
            from = std::min(from, drawnFrom);
            to = std::max(to, drawnTo);
        }
    }
}

void FrameComposer::drawParticle(const Particle& p, bool firstOfFrame, const FrameImage& image) {
    const float w = SceneDistance - p.z;  // the clip w of all four corners
    if (!(w >= NearPlane && w <= FarPlane)) return;
    const float s = p.halfSize;
    // Window coordinates as llvmpipe's vertex stage makes them: the clip
    // position times 1/w, times the viewport scale, plus its translation;
    // y grows downwards.
    const float oneOverW = 1.0f / w;
    const float halfWidth = static_cast<float>(width_) * 0.5f, halfHeight = static_cast<float>(height_) * 0.5f;
    const auto windowX = [&](float x) { return xScale_ * x * oneOverW * halfWidth + halfWidth; };
    const auto windowY = [&](float y) { return yScale_ * y * oneOverW * -halfHeight + halfHeight; };
    // Pixel centres lie on integers once half a pixel is taken off.
    const float left = windowX(p.x - s) - 0.5f, right = windowX(p.x + s) - 0.5f;
    const float top = windowY(p.y + s) - 0.5f, bottom = windowY(p.y - s) - 0.5f;
    const long x0 = std::lrint(left * SubpixelSteps), x1 = std::lrint(right * SubpixelSteps);
    const long y0 = std::lrint(top * SubpixelSteps), y1 = std::lrint(bottom * SubpixelSteps);
    // Columns left-inclusive and right-exclusive; rows take the lower edge, not the upper.
    const auto ceilDiv = [](long a) { return a >= 0 ? (a + 255) / 256 : -((-a) / 256); };
    const auto floorDiv = [](long a) { return a >= 0 ? a / 256 : -((-a + 255) / 256); };
    const long firstColumn = std::max(ceilDiv(x0), 0L), endColumn = std::min(ceilDiv(x1), static_cast<long>(image.width));
    const long firstRow = std::max(floorDiv(y0) + 1, 0L), endRow = std::min(floorDiv(y1) + 1, static_cast<long>(image.height));
    if (firstColumn >= endColumn || firstRow >= endRow) return;

    const float dsdx = 1.0f / (right - left), dtdy = 1.0f / (bottom - top);
    const auto& levels = sprite_.levels();
    const float baseSide = static_cast<float>(levels.front().side);
    const int level = mipLevel(std::max(dsdx, dtdy) * baseSide, static_cast<int>(levels.size()) - 1);
    const int side = levels[static_cast<std::size_t>(level)].side;
    const std::uint32_t mask = static_cast<std::uint32_t>(side - 1);
    const auto stride = static_cast<std::uint32_t>(side + 1);
    const float fixedSide = static_cast<float>(side) * SubpixelSteps;

    // The two taps and the weight of each column and row, in 1/256 texel,
    // rounded to nearest, half a texel back; REPEAT wraps the taps.
    const auto tap = [&](float coordinate) {
        const long fixed = std::lrint(coordinate * fixedSide) - 128;
        const long index = fixed >= 0 ? fixed / 256 : -((-fixed + 255) / 256);
        return std::pair{static_cast<std::uint32_t>(index) & mask, static_cast<std::uint32_t>(fixed & 0xFF)};
    };
    columns_.clear();
    for (long i = firstColumn; i < endColumn; ++i) {
        const auto [first, weight] = tap((static_cast<float>(i) - left) * dsdx);
        columns_.push_back({first, first + 1, weight});  // the padding holds the wrapped tap
    }
    rows_.clear();
    for (long j = firstRow; j < endRow; ++j) {
        const auto [first, weight] = tap((bottom - static_cast<float>(j)) * dtdy);
        rows_.push_back({first * stride, ((first + 1) & mask) * stride, weight});
    }
    for (long j = firstRow; j < endRow; ++j) {
        auto& [from, to] = drawnRows_[static_cast<std::size_t>(j)];
        from = std::min(from, static_cast<int>(firstColumn));
        to = std::max(to, static_cast<int>(endColumn));
    }

    // The frame's first square gets its colour as a constant. Mesa hands the
    // later ones' colours over per vertex, and llvmpipe interpolates them with
    // perspective: the colour times 1/w, times w again, each step rounded.
    const float restoreW = 1.0f / oneOverW;
    const auto vertexColour = [&](float value) {
        const float clamped = std::clamp(value, 0.0f, 1.0f);
        if (firstOfFrame) return clamped;
        const float perspective = clamped * oneOverW;
        return perspective * restoreW;
    };
    const float colour[3] = {vertexColour(p.blue), vertexColour(p.green), vertexColour(p.red)};
    blendSpriteSquare(paddedLevels_[static_cast<std::size_t>(level)].data(), columns_, rows_, colour, toByte(vertexColour(p.alpha)),
                      image.pixels + firstRow * image.bytesPerLine + firstColumn * 4, image.bytesPerLine);
}


}  // namespace tamaruka
