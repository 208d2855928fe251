// The --fps text: its lines' places in the bottom-left corner, the corner it
// covers, and the built-in font painted into a frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display_mode/fps_glyph_painting.h"
#include "display_mode/fps_glyphs.h"
#include "display_mode/fps_text_layout.h"

namespace tamaruka {
namespace {

int sixPixelsEach(const std::string& line) { return 6 * static_cast<int>(line.size()); }

TEST(FpsTextLayoutTest, LinesGoUpFromTheMarginTheLowestOnItsDescent) {
    const FpsTextLayout text("FPS: 59.9\nCPU: 23%", 13, 2);  // the X font "fixed"
    ASSERT_EQ(text.lines().size(), 2u);
    EXPECT_EQ(text.lines()[0].text, "CPU: 23%");
    EXPECT_EQ(text.lines()[1].text, "FPS: 59.9");
    EXPECT_EQ(text.lines()[0].left, 8);
    EXPECT_EQ(text.lines()[1].left, 8);
    EXPECT_EQ(text.lines()[0].baseline, 10);
    EXPECT_EQ(text.lines()[1].baseline, 23);
    EXPECT_EQ(text.coveredHeight(), 8 + 26 + 8);
    EXPECT_EQ(text.coveredWidth(sixPixelsEach), 8 + 54 + 8);
}

TEST(FpsTextLayoutTest, NoTextCoversNothing) {
    const FpsTextLayout text("", 13, 2);
    EXPECT_TRUE(text.lines().empty());
    EXPECT_EQ(text.coveredHeight(), 0);
    EXPECT_EQ(text.coveredWidth(sixPixelsEach), 0);
}

struct BuiltInCase {
    int pixelSize;
    int upperBaseline, coveredHeight, coveredWidth;
};

class BuiltInFontLayout : public ::testing::TestWithParam<BuiltInCase> {};

TEST_P(BuiltInFontLayout, LinesAndCornerScaleWithThePixelSize) {
    const auto [size, upperBaseline, coveredHeight, coveredWidth] = GetParam();
    const FpsTextLayout text = glyphTextLayout("FPS: 59.9\nCPU: 23%", size);
    ASSERT_EQ(text.lines().size(), 2u);
    EXPECT_EQ(text.lines()[0].baseline, 8);  // glyphs have no descent
    EXPECT_EQ(text.lines()[1].baseline, upperBaseline);
    EXPECT_EQ(text.coveredHeight(), coveredHeight);
    EXPECT_EQ(text.coveredWidth([&](const std::string& line) { return glyphTextWidth(line.size(), size); }),
              coveredWidth);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BuiltInFontLayout,
                         ::testing::Values(BuiltInCase{1, 8 + 9, 8 + 18 + 8, 8 + 9 * 6 + 8},
                                           BuiltInCase{2, 8 + 18, 8 + 36 + 8, 8 + 9 * 12 + 8}));

// A frame of `width` x `height` pixels whose rows lie `stride` pixels apart.
struct TestFrame {
    TestFrame(int width, int height, int stride)
        : pixels(static_cast<std::size_t>(stride) * height, Sky), stride(stride),
          image{reinterpret_cast<std::uint8_t*>(pixels.data()), width, height,
                static_cast<std::size_t>(stride) * 4, false} {}
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * stride + x]; }
    static constexpr std::uint32_t Sky = 0xFF102030, Ink = 0xFFFFFFFF;
    std::vector<std::uint32_t> pixels;
    int stride;
    FrameImage image;
};

TEST(GlyphPaintingTest, GlyphsSitOnTheBaselineEachPixelASquareOfThePixelSize) {
    const std::vector<std::string> picture = {
        "........#...",  //
        ".......##...",  //
        "........#...",  //
        "#####...#...",  //
        "........#...",  //
        "........#...",  //
        ".......###..",
    };
    for (int size : {1, 2}) {
        TestFrame frame(40, 40, 40);
        paintGlyphText(frame.image, glyphTextLayout("-1", size), size, TestFrame::Ink);
        const int top = 40 - 8 - 7 * size;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const int row = (y - top) / size, column = (x - 8) / size;
                const bool inked =
                    y >= top && x >= 8 && row < 7 && column < 12 && picture[row][column] == '#';
                EXPECT_EQ(frame.at(x, y), inked ? TestFrame::Ink : TestFrame::Sky)
                    << "size " << size << " at " << x << "," << y;
            }
    }
}

TEST(GlyphPaintingTest, TextBeyondTheFrameIsClippedAtItsEdges) {
    TestFrame frame(11, 12, 16);  // rows 16 pixels apart, 11 of them shown
    paintGlyphText(frame.image, glyphTextLayout("8\n8\n8", 1), 1, TestFrame::Ink);
    // The bottom line's lowest four rows of its left three columns; the
    // lines above lie beyond the top edge.
    const std::vector<std::string> shown = {".##", "#..", "#..", ".##"};
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inked = y < 4 && x >= 8 && x < 11 && shown[y][x - 8] == '#';
            EXPECT_EQ(frame.at(x, y), inked ? TestFrame::Ink : TestFrame::Sky) << x << "," << y;
        }
}

}  // namespace
}  // namespace tamaruka
