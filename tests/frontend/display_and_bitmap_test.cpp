#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "frontend/platform/display_counter.h"
#include "frontend/toolkit/bitmap_file.h"
#include "common/error_rule.h"
#include "tests/support/temp_folder.h"

namespace tamaruka {
namespace {

TEST(DisplayCounter, ReturnsWin32CountsAndHidesWhileNegative)
{
    std::vector<bool> changes;
    DisplayCounter counter([&](bool visible) { changes.push_back(visible); });
    EXPECT_EQ(counter.show(false), -1);
    EXPECT_EQ(counter.show(false), -2);
    EXPECT_EQ(counter.show(true), -1);
    EXPECT_EQ(counter.show(true), 0);
    EXPECT_EQ(counter.show(true), 1);
    EXPECT_EQ(counter.show(false), 0);
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST(ErrorRule, AbandonsTheStepAndKeepsTheEarlierValue)
{
    int value = 5;
    runStep([&] {
        const int computed = 7;
        if (computed > 6) throw StepError("overflow");
        value = computed;
    });
    EXPECT_EQ(value, 5);
    runStep([&] { throw 42; });  // anything thrown stays inside the step
    runStep([&] { value = 8; });
    EXPECT_EQ(value, 8);
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(BitmapFile, Writes24BitRowsBottomFirstPaddedTo4Bytes)
{
    // 3 x 2: top row red, green, blue; bottom row white, black, grey.
    const Bitmap bitmap{3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080}};
    const std::vector<std::uint8_t> bmp = encodeBmp(bitmap, 24);
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    EXPECT_EQ(le32(bmp, 10), 54u);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), 3u);
    EXPECT_EQ(le32(bmp, 22), 2u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(le32(bmp, 30), 0u);  // uncompressed
    const std::vector<std::uint8_t> bottomRow(bmp.begin() + 54, bmp.begin() + 66);
    EXPECT_EQ(bottomRow, (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0}));
    const std::vector<std::uint8_t> topRow(bmp.begin() + 66, bmp.end());
    EXPECT_EQ(topRow, (std::vector<std::uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
}

TEST(BitmapFile, Writes32BitPixelsAndRefusesBadInput)
{
    const Bitmap bitmap{1, 1, {0x102030}};
    const std::vector<std::uint8_t> bmp = encodeBmp(bitmap, 32);
    ASSERT_EQ(bmp.size(), 58u);
    EXPECT_EQ(bmp[28], 32);
    EXPECT_EQ((std::vector<std::uint8_t>(bmp.begin() + 54, bmp.end())),
              (std::vector<std::uint8_t>{0x30, 0x20, 0x10, 0}));
    EXPECT_TRUE(encodeBmp(bitmap, 16).empty());
    EXPECT_TRUE(encodeBmp(Bitmap{2, 2, {1, 2, 3}}, 24).empty());
}

TEST(AtomicFile, CreatesTheFolderAndReplacesTheFileWhole)
{
    test::TempFolder folder;
    const std::string path = folder.path() + "/cache/tamaruka/Fireworks.bmp";
    EXPECT_FALSE(replaceFileAtomically(path, "old"));  // no folder yet
    EXPECT_TRUE(replaceFileAtomically(path, "old", true));
    EXPECT_TRUE(replaceFileAtomically(path, "new contents"));
    EXPECT_EQ(test::readBytes(path), "new contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path() + "/cache/tamaruka"),
                            std::filesystem::directory_iterator{}),
              1);
    test::writeBytes(folder.file("file"), "x");
    EXPECT_FALSE(replaceFileAtomically(folder.file("file/inner.bmp"), "y", true));
}

}  // namespace
}  // namespace tamaruka
