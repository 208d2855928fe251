// The --fps text: its lines' places in the bottom-left corner and the corner
// it covers.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace tamaruka
