#include "dib/dib_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "fireworks/sprite_bitmap.h"
#include "dib/dib_header.h"
#include "tests/dib/bitmap_builder.h"

namespace tamaruka::test {
namespace {

// Decodes and expects a picture; on an error the test fails with its text.
DibImage decoded(const std::vector<std::uint8_t>& file, const DibLimits& limits = {}) {
    DibDecodeResult result = decodeDib(file, limits);
    if (const auto* error = std::get_if<DibError>(&result)) {
        ADD_FAILURE() << "decoding failed: " << dibErrorText(*error);
        return {};
    }
    return std::get<DibImage>(std::move(result));
}

std::string failure(const std::vector<std::uint8_t>& file, const DibLimits& limits = {}) {
    DibDecodeResult result = decodeDib(file, limits);
    if (std::holds_alternative<DibImage>(result)) return "(decoded)";
    return std::string(dibErrorText(std::get<DibError>(result)));
}

std::vector<std::uint8_t> flatten(const std::vector<std::vector<Rgb>>& rows) {
    std::vector<std::uint8_t> out;
    for (const auto& row : rows) {
        for (const Rgb& pixel : row) out.insert(out.end(), pixel.begin(), pixel.end());
    }
    return out;
}

const std::vector<Rgb> kPalette = {
    {0, 0, 0}, {255, 255, 255}, {200, 10, 20}, {30, 160, 40}, {50, 60, 170}, {1, 2, 3},
    {90, 91, 92}, {250, 128, 0}, {7, 77, 177}, {100, 0, 100}, {11, 12, 13}, {14, 15, 16},
    {17, 18, 19}, {20, 21, 22}, {23, 24, 25}, {26, 27, 28}};

std::vector<Rgb> paletteOf(std::size_t count) {
    std::vector<Rgb> palette;
    for (std::size_t i = 0; i < count; ++i) {
        palette.push_back(i < kPalette.size() ? kPalette[i]
                                              : Rgb{static_cast<std::uint8_t>(i), 99, 33});
    }
    return palette;
}

// --- Colour-table size -------------------------------------------------

TEST(DibColorCount, FollowsBitCountOrColoursUsed) {
    DibHeader info;
    info.size = 40;
    const std::vector<std::pair<std::uint16_t, std::uint16_t>> byDepth = {
        {1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}};
    for (auto [bitCount, entries] : byDepth) {
        info.bitCount = bitCount;
        EXPECT_EQ(dibColorCount(info), entries) << "bit count " << bitCount;
    }
    info.bitCount = 8;
    info.coloursUsed = 20;
    EXPECT_EQ(dibColorCount(info), 20);
    info.bitCount = 24;
    info.coloursUsed = 3;
    EXPECT_EQ(dibColorCount(info), 3);
    info.coloursUsed = 70000;  // cut to 16 bits
    EXPECT_EQ(dibColorCount(info), 70000 - 65536);

    DibHeader core;
    core.size = 12;
    core.bitCount = 4;
    core.coloursUsed = 20;  // a core header has no such field
    EXPECT_EQ(dibColorCount(core), 16);
}

// --- Uncompressed pixel data ------------------------------------------------

TEST(DibDecoder, Sprite24BitIsRedGreenBlueBottomRowFirst) {
    BitmapSpec spec;
    spec.width = 32;
    spec.height = 32;
    std::vector<std::vector<Rgb>> expected;
    for (int y = 0; y < 32; ++y) {
        std::vector<Rgb> row;
        for (int x = 0; x < 32; ++x) {
            row.push_back({static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 8),
                           static_cast<std::uint8_t>(x + y)});
        }
        spec.rows.push_back(bgrRow(row));
        expected.push_back(row);
    }
    const DibImage image = decoded(buildBitmap(spec));
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    ASSERT_EQ(image.pixels.size(), 3072u);
    EXPECT_EQ(image.pixels, flatten(expected));
    // The first stored row is the bottom one and comes out first.
    EXPECT_EQ(image.pixels[3 * 31], 248);
    EXPECT_EQ(image.pixels[3 * 31 + 1], 0);
}

TEST(DibDecoder, FrontEndSpriteIsAGlowOnBlack) {
    const auto file = spriteBitmap();
    const DibImage image = decoded({file.begin(), file.end()});
    ASSERT_EQ(image.width, 32);
    ASSERT_EQ(image.height, 32);
    ASSERT_EQ(image.pixels.size(), 3072u);
    auto level = [&](int x, int y) { return image.pixels[(y * 32 + x) * 3]; };
    EXPECT_GE(level(16, 16), 240);  // near white in the middle
    EXPECT_EQ(level(0, 0), 0);      // black corners
    EXPECT_EQ(level(31, 31), 0);
    EXPECT_GT(level(16, 16), level(16, 24));  // fading outwards
    EXPECT_GT(level(16, 24), level(16, 30));
}

TEST(DibDecoder, Width5RowsDropTheirFiller) {
    const std::vector<std::vector<Rgb>> rows = {
        {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}},
        {{16, 17, 18}, {19, 20, 21}, {22, 23, 24}, {25, 26, 27}, {28, 29, 30}}};
    for (bool fileHeader : {true, false}) {
        BitmapSpec spec;
        spec.fileHeader = fileHeader;
        spec.width = 5;
        spec.height = 2;
        for (const auto& row : rows) spec.rows.push_back(bgrRow(row));
        const DibImage image = decoded(buildBitmap(spec));
        ASSERT_EQ(image.pixels.size(), 30u);  // 15-byte rows, no filler
        EXPECT_EQ(image.pixels, flatten(rows));
    }
}

// Every indexed depth with both header kinds, packed and with a file header.
class IndexedDepths
    : public ::testing::TestWithParam<std::tuple<unsigned, bool, bool>> {};

TEST_P(IndexedDepths, LookUpTheColourTable) {
    const auto [bitCount, core, fileHeader] = GetParam();
    const unsigned entries = 1u << bitCount;
    BitmapSpec spec;
    spec.fileHeader = fileHeader;
    spec.coreHeader = core;
    spec.bitCount = static_cast<std::uint16_t>(bitCount);
    spec.width = 5;
    spec.height = 3;
    spec.palette = paletteOf(entries);
    std::vector<std::vector<Rgb>> expected;
    for (unsigned y = 0; y < 3; ++y) {
        std::vector<unsigned> indexes;
        std::vector<Rgb> row;
        for (unsigned x = 0; x < 5; ++x) {
            const unsigned index = (x * 3 + y * 7 + (x == 4 ? entries - 1 : 0)) % entries;
            indexes.push_back(index);
            row.push_back(spec.palette[index]);
        }
        spec.rows.push_back(packIndexes(indexes, bitCount));
        expected.push_back(row);
    }
    const DibImage image = decoded(buildBitmap(spec));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.pixels, flatten(expected));
}

INSTANTIATE_TEST_SUITE_P(AllHeaders, IndexedDepths,
                         ::testing::Combine(::testing::Values(1u, 4u, 8u), ::testing::Bool(),
                                            ::testing::Bool()));

TEST(DibDecoder, ColoursUsed20GivesA20EntryTable) {
    for (bool fileHeader : {true, false}) {
        BitmapSpec spec;
        spec.fileHeader = fileHeader;
        spec.bitCount = 8;
        spec.width = 3;
        spec.coloursUsed = 20;
        spec.palette = paletteOf(20);
        spec.rows = {{0, 19, 7}};
        EXPECT_EQ(decoded(buildBitmap(spec)).pixels,
                  flatten({{spec.palette[0], spec.palette[19], spec.palette[7]}}));
        // Index 20 lies past the table.
        spec.rows = {{0, 20, 7}};
        EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
    }
}

TEST(DibDecoder, ColoursUsed0GivesA256EntryTable) {
    // Packed: the pixel data is found only after all 256 entries.
    BitmapSpec spec;
    spec.fileHeader = false;
    spec.bitCount = 8;
    spec.width = 2;
    spec.palette = paletteOf(256);
    spec.rows = {{255, 1}};
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels, flatten({{spec.palette[255], spec.palette[1]}}));
}

TEST(DibDecoder, DirectDepthsSkipATableThatColoursUsedAnnounces) {
    // A 24-bit packed bitmap with colours-used 3 carries three entries first.
    BitmapSpec spec;
    spec.fileHeader = false;
    spec.width = 2;
    spec.coloursUsed = 3;
    spec.palette = paletteOf(3);
    spec.rows = {bgrRow({{9, 8, 7}, {6, 5, 4}})};
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels, flatten({{{9, 8, 7}, {6, 5, 4}}}));
}

TEST(DibDecoder, SixteenBitsAre555) {
    for (bool core : {false, true}) {
        BitmapSpec spec;
        spec.coreHeader = core;
        spec.bitCount = 16;
        spec.width = 5;
        // white, pure red, pure green, blue 1 of 31, red 16 of 31; top bit unused
        spec.rows = {{0xFF, 0x7F, 0x00, 0xFC, 0xE0, 0x03, 0x01, 0x00, 0x00, 0xC0}};
        EXPECT_EQ(decoded(buildBitmap(spec)).pixels,
                  flatten({{{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 8}, {132, 0, 0}}}));
    }
}

TEST(DibDecoder, ThirtyTwoBitsIgnoreTheUnusedByte) {
    BitmapSpec spec;
    spec.bitCount = 32;
    spec.width = 2;
    spec.rows = {{30, 20, 10, 0xAB, 3, 2, 1, 0xFF}};
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels, flatten({{{10, 20, 30}, {1, 2, 3}}}));
}

TEST(DibDecoder, BitfieldsFollowTheirMasks) {
    BitmapSpec spec;
    spec.compression = DibBitfields;
    spec.bitCount = 16;
    spec.width = 3;
    spec.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    spec.rows = {{0xFF, 0xFF, 0xE0, 0x07, 0x20, 0x00}};
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels,
              flatten({{{255, 255, 255}, {0, 255, 0}, {0, 4, 0}}}));

    // 32 bits with red in the low byte; packed, so the data follows the masks.
    spec = BitmapSpec{};
    spec.fileHeader = false;
    spec.compression = DibBitfields;
    spec.bitCount = 32;
    spec.width = 1;
    spec.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    spec.rows = {{10, 20, 30, 40}};
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels, flatten({{{10, 20, 30}}}));

    spec.masks = {0x000000F1, 0x0000FF00, 0x00FF0000};  // red not one run of bits
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
    spec.masks = {0x000000FF, 0x0000FF00};  // file ends inside the masks
    spec.rows.clear();
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
}

TEST(DibDecoder, CoreHeaderSidesAreUnsigned) {
    BitmapSpec spec;
    spec.coreHeader = true;
    spec.bitCount = 8;
    spec.width = 1;
    spec.height = 0x8001;  // negative as a signed 16-bit number
    spec.palette = paletteOf(256);
    spec.rows.assign(0x8001, {5});
    const DibImage image = decoded(buildBitmap(spec), {.maxSide = 0xFFFF});
    EXPECT_EQ(image.height, 0x8001);
    ASSERT_EQ(image.pixels.size(), 3u * 0x8001);
    EXPECT_EQ(image.pixels[3 * 0x8000], kPalette[5][0]);
}

TEST(DibDecoder, LastRowMayLackItsFiller) {
    BitmapSpec spec;
    spec.width = 1;
    spec.height = 2;
    spec.pixelData = std::vector<std::uint8_t>{1, 2, 3, 0, 4, 5, 6};
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels, flatten({{{3, 2, 1}}, {{6, 5, 4}}}));
    spec.pixelData->pop_back();
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
}

TEST(DibDecoder, TopDownBitmapHasNoRows) {
    BitmapSpec spec;
    spec.width = 5;
    spec.height = -3;
    spec.rows.assign(3, bgrRow(std::vector<Rgb>(5, Rgb{1, 2, 3})));
    const DibImage image = decoded(buildBitmap(spec));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, -3);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(image.hasRows());
}

// --- Run-length encoded data ------------------------------------------------

TEST(DibDecoder, Rle8RunsLiteralsMovesAndLineEnds) {
    BitmapSpec spec;
    spec.compression = DibRle8;
    spec.bitCount = 8;
    spec.width = 4;
    spec.height = 3;
    spec.coloursUsed = 16;
    spec.palette = paletteOf(16);
    spec.pixelData = std::vector<std::uint8_t>{
        3, 2,              // three of colour 2
        0, 0,              // end of line
        0, 3, 4, 5, 6, 0,  // literal 4 5 6, padded to an even count
        0, 2, 0, 1,        // move up one row, same column
        1, 7,              // one of colour 7 at (3, 2)
        0, 1};             // end of bitmap
    const Rgb black{0, 0, 0};
    const auto& p = kPalette;
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels,
              flatten({{p[2], p[2], p[2], black}, {p[4], p[5], p[6], black},
                       {black, black, black, p[7]}}));

    spec.pixelData = std::vector<std::uint8_t>{3, 2, 0, 0};  // no end-of-bitmap
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
    spec.pixelData = std::vector<std::uint8_t>{2, 16, 0, 1};  // index past the table
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
}

TEST(DibDecoder, Rle4AlternatesNibbles) {
    BitmapSpec spec;
    spec.fileHeader = false;
    spec.compression = DibRle4;
    spec.bitCount = 4;
    spec.width = 5;
    spec.height = 1;
    spec.palette = paletteOf(16);
    // Run of three alternating 1 and 2; literal 3 and 9; more past the edge.
    spec.pixelData = std::vector<std::uint8_t>{3, 0x12, 0, 3, 0x39, 0xF0, 4, 0x55, 0, 1};
    const auto& p = kPalette;
    EXPECT_EQ(decoded(buildBitmap(spec)).pixels, flatten({{p[1], p[2], p[1], p[3], p[9]}}));
}

// --- Malformed files --------------------------------------------------------

TEST(DibDecoder, UnknownOrCutHeadersAreUnknownFormat) {
    BitmapSpec spec;
    spec.rows = {bgrRow({{1, 2, 3}})};
    for (std::uint32_t size : {108u, 124u, 0u, 64u}) {
        spec.headerSize = size;
        EXPECT_EQ(failure(buildBitmap(spec)), "Unknown DIB file format.") << size;
    }
    EXPECT_EQ(failure({'B', 'M'}), "Unknown DIB file format.");
    EXPECT_EQ(failure({'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 40, 0}),
              "Unknown DIB file format.");
    spec.headerSize.reset();
    std::vector<std::uint8_t> cut = buildBitmap(spec);
    cut.resize(14 + 39);  // one byte short of the info header
    EXPECT_EQ(failure(cut), "Unknown DIB file format.");
}

TEST(DibDecoder, MissingOrUnconvertiblePixelDataIsAConversionError) {
    const auto conversion = std::string("Image file conversion error.");
    BitmapSpec base;
    base.width = 2;
    base.height = 2;
    base.rows.assign(2, bgrRow({{1, 1, 1}, {2, 2, 2}}));

    BitmapSpec spec = base;
    spec.pixelOffset = 1000;  // past the end of the file
    EXPECT_EQ(failure(buildBitmap(spec)), conversion);

    std::vector<std::uint8_t> truncated = buildBitmap(base);
    truncated.resize(truncated.size() - 3);
    EXPECT_EQ(failure(truncated), conversion);

    spec = base;
    spec.bitCount = 8;  // the 256-entry table is missing
    EXPECT_EQ(failure(buildBitmap(spec)), conversion);

    const std::vector<std::pair<std::uint16_t, std::uint32_t>> forms = {
        {7, DibRgb}, {0, DibRgb}, {24, DibBitfields}, {4, DibRle8}, {8, DibRle4}, {24, 4},
        {24, 5}};
    for (auto [bitCount, compression] : forms) {
        spec = base;
        spec.bitCount = bitCount;
        spec.compression = compression;
        spec.masks = {0xFF0000, 0xFF00, 0xFF};
        EXPECT_EQ(failure(buildBitmap(spec)), conversion) << bitCount << " " << compression;
    }
    for (auto [width, height] : std::vector<std::pair<int, int>>{{0, 2}, {-2, 2}, {2, 0}}) {
        spec = base;
        spec.width = width;
        spec.height = height;
        EXPECT_EQ(failure(buildBitmap(spec)), conversion) << width << "x" << height;
    }
}

TEST(DibDecoder, HugeSidesFailWithoutOverflowOrAllocation) {
    BitmapSpec spec;
    spec.width = 0x7FFFFFFF;
    spec.height = 0x7FFFFFFF;
    spec.bitCount = 32;
    spec.rows = {{1, 2, 3, 4}};
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");

    // An RLE stream can describe a huge black picture in four bytes.
    spec.compression = DibRle8;
    spec.bitCount = 8;
    spec.width = 60000;
    spec.height = 60000;
    spec.palette = paletteOf(256);
    spec.pixelData = std::vector<std::uint8_t>{0, 0, 0, 1};
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
    // Within the sides, a pixel block beyond the caller's limit is memory
    // that cannot be had.
    spec.width = spec.height = 100;
    EXPECT_EQ(failure(buildBitmap(spec), {.maxPixelBytes = 29999}), "Out of memory.");
    EXPECT_EQ(failure(buildBitmap(spec), {.maxPixelBytes = 30000}), "(decoded)");
}

// No texture can take a side longer than the GL limit the caller passes.
TEST(DibDecoder, SidesBeyondTheTextureLimitAreAConversionError) {
    BitmapSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.rows.assign(3, bgrRow(std::vector<Rgb>(5, Rgb{1, 2, 3})));
    EXPECT_EQ(failure(buildBitmap(spec), {.maxSide = 5}), "(decoded)");
    EXPECT_EQ(failure(buildBitmap(spec), {.maxSide = 4}), "Image file conversion error.");
    spec.width = 2;
    spec.height = -3;  // top-down: the height's size counts
    spec.rows.assign(3, bgrRow(std::vector<Rgb>(2, Rgb{1, 2, 3})));
    EXPECT_EQ(failure(buildBitmap(spec), {.maxSide = 3}), "(decoded)");
    EXPECT_EQ(failure(buildBitmap(spec), {.maxSide = 2}), "Image file conversion error.");
    spec.width = 16384;
    spec.height = 1;
    spec.rows = {std::vector<std::uint8_t>(16384 * 3, 9)};
    EXPECT_EQ(failure(buildBitmap(spec)), "(decoded)");  // the default limit
    spec.width = 16385;
    spec.rows = {std::vector<std::uint8_t>(16385 * 3, 9)};
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
}

// A run-length picture may be as large as its codes can paint, plus a blank
// allowance: a tiny stream never claims a vast block.
TEST(DibDecoder, RunLengthPictureMemoryGrowsWithItsStream) {
    EXPECT_EQ(dibRlePixelBytesBound(0), DibRleBlankAllowance);
    EXPECT_EQ(dibRlePixelBytesBound(2), DibRleBlankAllowance + 765);

    BitmapSpec spec;
    spec.compression = DibRle8;
    spec.bitCount = 8;
    spec.width = 16000;
    spec.height = 16000;
    spec.palette = paletteOf(256);
    // A stream of some 900 bytes that paints a little and ends.
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < 450; ++i) stream.insert(stream.end(), {255, 7});
    stream.insert(stream.end(), {0, 1});
    spec.pixelData = stream;
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");

    // 2000 x 2000 (12 000 000 bytes) painted in full by runs of 255 is taken;
    // the same picture left blank by a bare end-of-bitmap is not.
    spec.width = spec.height = 2000;
    stream.clear();
    for (int row = 0; row < 2000; ++row) {
        for (int run = 0; run < 7; ++run) stream.insert(stream.end(), {255, 3});
        stream.insert(stream.end(), {215, 3, 0, 0});
    }
    stream.insert(stream.end(), {0, 1});
    spec.pixelData = stream;
    const DibImage image = decoded(buildBitmap(spec));
    ASSERT_EQ(image.pixels.size(), 12000000u);
    EXPECT_EQ(image.pixels[11999999], kPalette[3][2]);
    spec.pixelData = std::vector<std::uint8_t>{0, 1};
    EXPECT_EQ(failure(buildBitmap(spec)), "Image file conversion error.");
}

}  // namespace
}  // namespace tamaruka::test
