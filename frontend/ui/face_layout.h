#pragma once
#include <array>
#include <cstdint>

namespace tamaruka {

// The Command button measures in twips (1/1440 inch, 15 per pixel at 96 dots
// per inch). Twips to whole pixels, to the nearest pixel.
int twipsToPixels(double twips);

struct TwipRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipRect&) const = default;
};

// One of the eight frame pieces that PaintFace copies from a face bitmap.
struct FacePiece {
    TwipRect source;       // in the 960 x 375 twip face bitmap
    TwipRect destination;  // on the button's surface
    bool operator==(const FacePiece&) const = default;
};

// The eight pieces for a button of width x height twips, in drawing order:
// top-left, top, top-right, right, bottom-right, bottom, bottom-left, left.
// The 120-twip middle is rounded half to even; the interior is never copied
// (the gradient shows there).
std::array<FacePiece, 8> faceFramePieces(double widthTwips, double heightTwips);

// Top of the caption label: 20 twips above the exact centre.
double captionTopTwips(double heightTwips, double captionHeightTwips);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// "&HC6C5D7" read as red, green, blue: a light lavender grey.
inline constexpr Rgb faceGradientGrey{198, 197, 215};
inline constexpr Rgb faceGradientWhite{255, 255, 255};

// The vertical gradient behind the face: top colour first. White fading to
// the grey in the idle and focused looks; the reverse while hovering.
struct FaceGradient {
    Rgb top, bottom;
};
FaceGradient faceGradient(bool hoverShade);

// The gradient's colour on row y of a surface `height` pixels high (the first
// colour on row 0, the second on row height - 1).
Rgb faceGradientRow(bool hoverShade, int y, int height);

}  // namespace tamaruka
