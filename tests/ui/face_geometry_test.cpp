#include "frontend/ui/face_layout.h"

#include <gtest/gtest.h>

namespace tamaruka {
namespace {

// The eight pieces of PaintFace for the dialog's widest button, 125 x 25
// pixels: 1875 x 375 twips, so the middle is 1755 x 255.
TEST(FaceFramePieces, WideButtonTable)
{
    const auto p = faceFramePieces(1875, 375);
    const std::array<FacePiece, 8> expected = {{
        {{0, 0, 60, 60}, {1, 1, 60, 60}},
        {{60, 1, 840, 60}, {60, 1, 1755, 60}},
        {{900, 1, 60, 60}, {1815, 1, 60, 60}},
        {{900, 60, 60, 255}, {1815, 60, 60, 255}},
        {{900, 315, 60, 60}, {1815, 315, 60, 60}},
        {{60, 315, 840, 60}, {60, 315, 1755, 60}},
        {{0, 315, 60, 60}, {1, 315, 60, 60}},
        {{1, 60, 60, 255}, {1, 60, 60, 255}},
    }};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p[i], expected[i]) << "piece " << i + 1;
}

TEST(FaceFramePieces, NaturalSizeIsUnstretchedAndSmallButtonIsCompressed)
{
    const auto natural = faceFramePieces(960, 375);
    EXPECT_EQ(natural[1].destination.width, natural[1].source.width);
    EXPECT_EQ(natural[3].destination.height, natural[3].source.height);
    // Cmd_BGM: 29 x 21 pixels.
    const auto small = faceFramePieces(435, 315);
    EXPECT_EQ(small[1].destination, (TwipRect{60, 1, 315, 60}));
    EXPECT_EQ(small[3].destination, (TwipRect{375, 60, 60, 195}));
    EXPECT_EQ(small[6].destination, (TwipRect{1, 255, 60, 60}));
}

TEST(FaceFramePieces, FractionalMiddleRoundsHalfToEven)
{
    EXPECT_EQ(faceFramePieces(1000.5, 375)[1].destination.width, 880);
    EXPECT_EQ(faceFramePieces(1001.5, 375)[1].destination.width, 882);
    EXPECT_EQ(faceFramePieces(960, 376.5)[3].destination.height, 256);
}

TEST(FaceFramePieces, PixelEdgesOfThePiecesMeet)
{
    // 15 twips a pixel: the corners are 4 pixels, the edges fill the rest.
    const auto p = faceFramePieces(125 * 15, 25 * 15);
    EXPECT_EQ(twipsToPixels(p[1].destination.left), 4);
    EXPECT_EQ(twipsToPixels(p[1].destination.left + p[1].destination.width), 121);
    EXPECT_EQ(twipsToPixels(p[2].destination.left), 121);
    EXPECT_EQ(twipsToPixels(p[4].destination.top), 21);
    EXPECT_EQ(twipsToPixels(1), 0);  // the 1-twip offsets vanish in pixels
}

TEST(CaptionLayout, TwentyTwipsAboveTheCentre)
{
    EXPECT_DOUBLE_EQ(captionTopTwips(375, 195), 80);
    EXPECT_EQ(twipsToPixels(captionTopTwips(375, 195)), 5);
}

}  // namespace
}  // namespace tamaruka
