// The embedded particle sprite: its file layout and its glow profile.
#include <cmath>
#include <cstdint>
#include <map>

#include <gtest/gtest.h>

#include "fireworks/sprite_bitmap.h"
#include "frontend/run/sprite_picture.h"

namespace tamaruka {
namespace {

std::uint32_t field32(int at) {
    const auto bytes = spriteBitmap();
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}
std::uint16_t field16(int at) {
    const auto bytes = spriteBitmap();
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Grey level of the pixel at (column, row), rows counted from the top.
int greyAt(int column, int row) {
    const auto bytes = spriteBitmap();
    const int fileRow = 31 - row;  // stored bottom-up
    return bytes[54 + (fileRow * 32 + column) * 3];
}

TEST(SpriteBitmap, IsA3126Byte24BitBottomUpBmp) {
    ASSERT_EQ(spriteBitmap().size(), 3126u);
    EXPECT_EQ(spriteBitmap()[0], 'B');
    EXPECT_EQ(spriteBitmap()[1], 'M');
    EXPECT_EQ(field32(2), 3126u);
    EXPECT_EQ(field32(6), 0u);
    EXPECT_EQ(field32(10), 54u);
    EXPECT_EQ(field32(14), 40u);
    EXPECT_EQ(field32(18), 32u);
    EXPECT_EQ(field32(22), 32u);  // positive: rows bottom-up
    EXPECT_EQ(field16(26), 1u);
    EXPECT_EQ(field16(28), 24u);
    for (int at = 30; at < 54; at += 4) EXPECT_EQ(field32(at), 0u) << "header field at byte " << at;
}

TEST(SpriteBitmap, GreyGlowFollowsTheProfileByDistance) {
    const std::map<int, int> meanByDistance = {
        {1, 254}, {2, 251}, {3, 226}, {4, 172}, {5, 140}, {6, 108}, {7, 84},  {8, 66},
        {9, 51},  {10, 41}, {11, 34}, {12, 28}, {13, 23}, {14, 19}, {15, 15}, {16, 11},
        {17, 10}, {18, 7},  {19, 6},  {20, 4},  {21, 2},  {22, 0}};
    std::map<int, double> sum;
    std::map<int, int> count;
    const auto bytes = spriteBitmap();
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            const int at = 54 + ((31 - row) * 32 + column) * 3;
            ASSERT_EQ(bytes[at], bytes[at + 1]);
            ASSERT_EQ(bytes[at], bytes[at + 2]);
            const double distance = std::hypot(column - 15.5, row - 15.5);
            const int bin = static_cast<int>(std::lround(distance));
            sum[bin] += bytes[at];
            ++count[bin];
            if (distance <= 2.5) {
                EXPECT_GE(bytes[at], 240) << column << "," << row;
            }
            EXPECT_LE(bytes[at], 254);
        }
    }
    for (const auto& [distance, expected] : meanByDistance)
        EXPECT_NEAR(sum[distance] / count[distance], expected, 3.0) << "distance " << distance;
    EXPECT_LE(greyAt(0, 0), 3);
    EXPECT_LE(greyAt(31, 31), 3);
}

TEST(SpriteBitmap, PictureHasTheFilesPixelsTopRowFirst) {
    const Bitmap picture = spritePicture();
    ASSERT_EQ(picture.width, 32);
    ASSERT_EQ(picture.height, 32);
    ASSERT_EQ(picture.pixels.size(), 32u * 32u);
    for (int row : {0, 3, 15, 28}) {
        for (int column : {0, 7, 16, 31}) {
            const std::uint32_t grey = static_cast<std::uint32_t>(greyAt(column, row));
            EXPECT_EQ(picture.pixels[row * 32 + column], grey << 16 | grey << 8 | grey);
        }
    }
}

}  // namespace
}  // namespace tamaruka
