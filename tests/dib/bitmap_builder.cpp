#include "tests/dib/bitmap_builder.h"

#include <fstream>

namespace tamaruka::test {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> buildBitmap(const BitmapSpec& spec) {
    std::vector<std::uint8_t> dib;
    const std::uint32_t headerSize = spec.headerSize.value_or(spec.coreHeader ? 12 : 40);
    put32(dib, headerSize);
    if (spec.coreHeader) {
        put16(dib, static_cast<std::uint32_t>(spec.width));
        put16(dib, static_cast<std::uint32_t>(spec.height));
        put16(dib, 1);
        put16(dib, spec.bitCount);
    } else {
        put32(dib, static_cast<std::uint32_t>(spec.width));
        put32(dib, static_cast<std::uint32_t>(spec.height));
        put16(dib, 1);
        put16(dib, spec.bitCount);
        put32(dib, spec.compression);
        put32(dib, 0);  // image size: 0 is allowed for uncompressed data
        put32(dib, 2835);
        put32(dib, 2835);
        put32(dib, spec.coloursUsed);
        put32(dib, 0);
    }
    if (dib.size() < headerSize) dib.resize(headerSize, 0);  // 108, 124: left blank
    for (std::uint32_t mask : spec.masks) put32(dib, mask);
    for (const Rgb& entry : spec.palette) {
        dib.push_back(entry[2]);
        dib.push_back(entry[1]);
        dib.push_back(entry[0]);
        if (!spec.coreHeader) dib.push_back(0);
    }
    const std::size_t pixelStart = dib.size();
    if (spec.pixelData) {
        dib.insert(dib.end(), spec.pixelData->begin(), spec.pixelData->end());
    } else {
        for (const auto& row : spec.rows) {
            dib.insert(dib.end(), row.begin(), row.end());
            while ((dib.size() - pixelStart) % 4 != 0) dib.push_back(0xEE);
        }
    }
    if (!spec.fileHeader) return dib;

    std::vector<std::uint8_t> file{'B', 'M'};
    put32(file, static_cast<std::uint32_t>(14 + dib.size()));
    put32(file, 0);
    put32(file, spec.pixelOffset.value_or(static_cast<std::uint32_t>(14 + pixelStart)));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

std::vector<std::uint8_t> packIndexes(const std::vector<unsigned>& indexes, unsigned bitCount) {
    const unsigned perByte = 8 / bitCount;
    std::vector<std::uint8_t> row((indexes.size() + perByte - 1) / perByte, 0);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        const unsigned shift = 8 - bitCount * (static_cast<unsigned>(i % perByte) + 1);
        row[i / perByte] = static_cast<std::uint8_t>(row[i / perByte] | indexes[i] << shift);
    }
    return row;
}

std::vector<std::uint8_t> bgrRow(const std::vector<Rgb>& pixels) {
    std::vector<std::uint8_t> row;
    for (const Rgb& pixel : pixels) {
        row.push_back(pixel[2]);
        row.push_back(pixel[1]);
        row.push_back(pixel[0]);
    }
    return row;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<std::uint8_t> tinyRunLengthBitmap(std::int32_t width, std::int32_t height,
                                              std::size_t fileSize) {
    BitmapSpec spec;
    spec.compression = 1;
    spec.bitCount = 8;
    spec.width = width;
    spec.height = height;
    spec.coloursUsed = 2;
    spec.palette = {{0, 0, 0}, {255, 255, 255}};
    const std::size_t headers = 14 + 40 + 2 * 4;
    std::vector<std::uint8_t> stream;
    while (headers + stream.size() + 2 < fileSize) stream.insert(stream.end(), {255, 1});
    stream.insert(stream.end(), {0, 1});
    spec.pixelData = stream;
    return buildBitmap(spec);
}

}  // namespace tamaruka::test
