#include "frontend/ui/face_layout.h"

#include <cmath>

#include "frontend/toolkit/program_services.h"

namespace tamaruka {
namespace {

// The face bitmap is 960 x 375 twips with a 60-twip frame band.
constexpr int band = 60;
constexpr int faceRight = 900;   // 960 - band
constexpr int faceBottom = 315;  // 375 - band
constexpr int sourceEdgeWidth = 840;
constexpr int sourceEdgeHeight = 255;

// Geometry values are 16-bit integers; a fractional twip value lands on the
// nearest one, a half on the even neighbour.
int wholeTwips(double twips) { return static_cast<int>(std::nearbyint(twips)); }

}  // namespace

int twipsToPixels(double twips) { return static_cast<int>(std::floor(twips / twipsPerPixel + 0.5)); }

std::array<FacePiece, 8> faceFramePieces(double widthTwips, double heightTwips)
{
    const int midW = wholeTwips(widthTwips - 2 * band);
    const int midH = wholeTwips(heightTwips - 2 * band);
    const int right = wholeTwips(widthTwips - band);
    const int bottom = wholeTwips(heightTwips - band);
    // The 1-twip offsets are less than a pixel; they are kept as designed.
    return {{
        {{0, 0, band, band}, {1, 1, band, band}},
        {{band, 1, sourceEdgeWidth, band}, {band, 1, midW, band}},
        {{faceRight, 1, band, band}, {right, 1, band, band}},
        {{faceRight, band, band, sourceEdgeHeight}, {right, band, band, midH}},
        {{faceRight, faceBottom, band, band}, {right, bottom, band, band}},
        {{band, faceBottom, sourceEdgeWidth, band}, {band, bottom, midW, band}},
        {{0, faceBottom, band, band}, {1, bottom, band, band}},
        {{1, band, band, sourceEdgeHeight}, {1, band, band, midH}},
    }};
}

double captionTopTwips(double heightTwips, double captionHeightTwips)
{
    return (heightTwips - captionHeightTwips - 20) / 2;
}

FaceGradient faceGradient(bool hoverShade)
{
    if (hoverShade)
        return {faceGradientGrey, faceGradientWhite};
    return {faceGradientWhite, faceGradientGrey};
}

Rgb faceGradientRow(bool hoverShade, int y, int height)
{
    const FaceGradient g = faceGradient(hoverShade);
    if (height <= 1)
        return g.top;
    const double t = static_cast<double>(y) / (height - 1);
    auto mix = [t](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
    };
    return {mix(g.top.r, g.bottom.r), mix(g.top.g, g.bottom.g), mix(g.top.b, g.bottom.b)};
}

}  // namespace tamaruka
