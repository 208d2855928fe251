#pragma once
// Builds bitmap files in memory for the decoder tests.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamaruka::test {

using Rgb = std::array<std::uint8_t, 3>;  // red, green, blue

struct BitmapSpec {
    bool fileHeader = true;
    bool coreHeader = false;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::optional<std::uint32_t> headerSize;  // default: 12 or 40 by coreHeader
    std::vector<Rgb> palette;      // colour-table entries written, in order
    std::vector<std::uint32_t> masks;  // written right after the header
    // Stored rows, bottom row first, without padding: the builder pads each
    // to 4 bytes with 0xEE filler. Ignored when pixelData is given.
    std::vector<std::vector<std::uint8_t>> rows;
    std::optional<std::vector<std::uint8_t>> pixelData;  // written as is
    std::optional<std::uint32_t> pixelOffset;  // file header field override
};

std::vector<std::uint8_t> buildBitmap(const BitmapSpec& spec);

// Packs colour-table indexes of 1, 4 or 8 bits into one stored row.
std::vector<std::uint8_t> packIndexes(const std::vector<unsigned>& indexes, unsigned bitCount);

// One stored row of 24-bit pixels from red, green, blue values.
std::vector<std::uint8_t> bgrRow(const std::vector<Rgb>& pixels);

// An RLE8 bitmap of exactly fileSize bytes (file header, info header, two
// colours) whose runs paint a few pixels white and end, while its header
// claims width x height pixels.
std::vector<std::uint8_t> tinyRunLengthBitmap(std::int32_t width, std::int32_t height,
                                              std::size_t fileSize);

// Writes bytes to a file; false on failure.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tamaruka::test
