#include "frontend/ui/band_gradient.h"
#include "frontend/ui/face_layout.h"

#include <gtest/gtest.h>

namespace tamaruka {
namespace {

TEST(FaceGradient, WhiteOnTopIdleAndGreyOnTopWhileHovering)
{
    EXPECT_EQ(faceGradient(false).top, (Rgb{255, 255, 255}));
    EXPECT_EQ(faceGradient(false).bottom, (Rgb{198, 197, 215}));
    EXPECT_EQ(faceGradient(true).top, (Rgb{198, 197, 215}));
    EXPECT_EQ(faceGradient(true).bottom, (Rgb{255, 255, 255}));
}

TEST(FaceGradient, RowsRunFromFirstToLastColour)
{
    EXPECT_EQ(faceGradientRow(false, 0, 25), (Rgb{255, 255, 255}));
    EXPECT_EQ(faceGradientRow(false, 24, 25), (Rgb{198, 197, 215}));
    EXPECT_EQ(faceGradientRow(false, 12, 25), (Rgb{227, 226, 235}));  // halfway
    EXPECT_EQ(faceGradientRow(true, 0, 21), (Rgb{198, 197, 215}));
    EXPECT_EQ(faceGradientRow(true, 1, 1), (Rgb{198, 197, 215}));  // one row: the first colour
}

TEST(BandGradient, NavyEdgesLavenderMiddle)
{
    const std::vector<Rgb> rows = bandGradientRows(243);
    ASSERT_EQ(rows.size(), 244u);  // rows 0 to H, the last included
    EXPECT_EQ(rows.front(), (Rgb{0, 0, 30}));
    EXPECT_EQ(rows.back(), (Rgb{0, 0, 30}));  // sin(3.142) is a hair below zero
    EXPECT_EQ(rows[121], (Rgb{220, 220, 250}));
}

TEST(BandGradient, RowValuesByFormula)
{
    // D = 169 / 3.142; y = 20: |sin(0.37183...)| * 220 = 79.93... -> 80.
    EXPECT_EQ(bandGradientRow(20, 169), (Rgb{80, 80, 110}));
    // y = 1 of 243: sin(0.01293) * 220 = 2.845 -> 3.
    EXPECT_EQ(bandGradientRow(1, 243), (Rgb{3, 3, 33}));
    // Symmetric about the middle.
    EXPECT_EQ(bandGradientRow(30, 243), bandGradientRow(213, 243));
}

TEST(BandGradient, HeightRoundsHalfToEven)
{
    EXPECT_EQ(bandGradientRows(10.5).size(), 11u);  // H = 10
    EXPECT_EQ(bandGradientRows(11.5).size(), 13u);  // H = 12
    EXPECT_TRUE(bandGradientRows(0).empty());
}

}  // namespace
}  // namespace tamaruka
