#include "dib/dib_decoder.h"

#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

#include "dib/dib_header.h"
#include "dib/dib_pixel_rows.h"

namespace tamaruka {

std::string_view dibErrorText(DibError error) {
    switch (error) {
    case DibError::UnknownFormat: return "Unknown DIB file format.";
    case DibError::ConversionError: return "Image file conversion error.";
    case DibError::OutOfMemory: return "Out of memory.";
    }
    return "Image file conversion error.";
}

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint16_t read16(Bytes bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t read32(Bytes bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
           std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

bool hasFileHeader(Bytes file) {
    return file.size() >= 2 && file[0] == 'B' && file[1] == 'M';
}

// Reads the core or info header at the start of bytes. An unreadable or
// unknown header is a format error.
std::variant<DibHeader, DibError> readHeader(Bytes bytes) {
    if (bytes.size() < 4) return DibError::UnknownFormat;
    DibHeader header;
    header.size = read32(bytes, 0);
    if (header.size == DibCoreHeaderSize) {
        if (bytes.size() < DibCoreHeaderSize) return DibError::UnknownFormat;
        header.width = read16(bytes, 4);
        header.height = read16(bytes, 6);
        header.planes = read16(bytes, 8);
        header.bitCount = read16(bytes, 10);
        header.coloursUsed = header.coloursImportant = dibColorCount(header);
        return header;
    }
    if (header.size == DibInfoHeaderSize) {
        if (bytes.size() < DibInfoHeaderSize) return DibError::UnknownFormat;
        header.width = static_cast<std::int32_t>(read32(bytes, 4));
        header.height = static_cast<std::int32_t>(read32(bytes, 8));
        header.planes = read16(bytes, 12);
        header.bitCount = read16(bytes, 14);
        header.compression = read32(bytes, 16);
        header.imageSize = read32(bytes, 20);
        header.xPelsPerMeter = static_cast<std::int32_t>(read32(bytes, 24));
        header.yPelsPerMeter = static_cast<std::int32_t>(read32(bytes, 28));
        header.coloursUsed = read32(bytes, 32);
        header.coloursImportant = read32(bytes, 36);
        return header;
    }
    return DibError::UnknownFormat;
}

bool knownStorage(const DibHeader& header) {
    switch (header.compression) {
    case DibRgb:
        switch (header.bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: return true;
        default: return false;
        }
    case DibRle8: return header.bitCount == 8;
    case DibRle4: return header.bitCount == 4;
    case DibBitfields: return header.bitCount == 16 || header.bitCount == 32;
    default: return false;
    }
}

bool readMasks(const DibHeader& header, Bytes masks, DibChannelMasks& out) {
    if (header.compression == DibBitfields) {
        return out.red.describe(read32(masks, 0)) && out.green.describe(read32(masks, 4)) &&
               out.blue.describe(read32(masks, 8));
    }
    // Uncompressed 16 bits are 5-5-5, 32 bits are blue, green, red, unused.
    const bool wide = header.bitCount == 32;
    out.red.describe(wide ? 0xFF0000 : 0x7C00);
    out.green.describe(wide ? 0x00FF00 : 0x03E0);
    out.blue.describe(wide ? 0x0000FF : 0x001F);
    return true;
}

}  // namespace

std::uint64_t dibRlePixelBytesBound(std::size_t streamBytes) {
    return DibRleBlankAllowance + (static_cast<std::uint64_t>(streamBytes) * 765 + 1) / 2;
}

DibDecodeResult decodeDib(Bytes file, const DibLimits& limits) {
    const bool fileHeader = hasFileHeader(file);
    const std::size_t headerStart = fileHeader ? DibFileHeaderSize : 0;
    if (file.size() < headerStart) return DibError::UnknownFormat;
    auto headerOrError = readHeader(file.subspan(headerStart));
    if (auto* error = std::get_if<DibError>(&headerOrError)) return *error;
    const DibHeader header = std::get<DibHeader>(headerOrError);

    // Layout after the header: the three masks of BI_BITFIELDS (info header
    // only), the colour table, then, in a packed bitmap, the pixel data.
    const bool core = header.size == DibCoreHeaderSize;
    const std::size_t masksStart = headerStart + header.size;
    const std::size_t masksSize = header.compression == DibBitfields ? 12 : 0;
    const std::size_t tableStart = masksStart + masksSize;
    const std::size_t colourCount = dibColorCount(header);
    const std::size_t entrySize = core ? 3 : 4;
    const std::size_t tableEnd = tableStart + colourCount * entrySize;
    if (file.size() < tableEnd) return DibError::ConversionError;

    if (!knownStorage(header) || header.width <= 0 || header.height == 0) {
        return DibError::ConversionError;
    }
    // No texture could hold it (the 64-bit negation keeps INT32_MIN whole).
    if (header.width > limits.maxSide || std::abs(std::int64_t{header.height}) > limits.maxSide) {
        return DibError::ConversionError;
    }
    // Top-down rows are not converted: the image has no rows.
    if (header.height < 0) return DibImage{header.width, header.height, {}};

    DibPixelFormat format;
    format.width = header.width;
    format.rows = header.height;
    format.bitCount = header.bitCount;
    if (!readMasks(header, file.subspan(masksStart, masksSize), format.masks)) {
        return DibError::ConversionError;
    }
    std::vector<DibColour> palette(colourCount);
    for (std::size_t i = 0; i < colourCount; ++i) {
        const std::uint8_t* entry = file.data() + tableStart + i * entrySize;
        palette[i] = DibColour{entry[2], entry[1], entry[0]};
    }
    format.palette = palette;

    const std::uint64_t pixelStart = fileHeader ? read32(file, 10) : tableEnd;
    if (pixelStart > file.size()) return DibError::ConversionError;
    Bytes data = file.subspan(static_cast<std::size_t>(pixelStart));
    const bool runLength = header.compression == DibRle8 || header.compression == DibRle4;
    if (!runLength) {
        // Every row must be there; the last one may lack its padding.
        const std::uint64_t stride = dibRowStride(format.width, format.bitCount);
        const std::uint64_t lastRow = dibRowBytes(format.width, format.bitCount);
        if (lastRow > data.size() ||
            static_cast<std::uint64_t>(format.rows - 1) > (data.size() - lastRow) / stride) {
            return DibError::ConversionError;
        }
    } else if (header.imageSize != 0 && header.imageSize < data.size()) {
        data = data.first(header.imageSize);
    }

    // Sides below 2^31 keep this product below 2^63.
    const std::uint64_t pixelBytes =
        static_cast<std::uint64_t>(format.width) * static_cast<std::uint64_t>(format.rows) * 3;
    // A few bytes of run-length codes can claim a vast picture; its memory
    // may only grow with the stream that paints it.
    if (runLength && pixelBytes > dibRlePixelBytesBound(data.size())) {
        return DibError::ConversionError;
    }
    if (pixelBytes > limits.maxPixelBytes || pixelBytes > std::numeric_limits<std::size_t>::max()) {
        return DibError::OutOfMemory;
    }
    DibImage image{header.width, header.height, {}};
    try {
        image.pixels.resize(static_cast<std::size_t>(pixelBytes));
    } catch (const std::bad_alloc&) {
        return DibError::OutOfMemory;
    }
    const bool converted = runLength ? decodeDibRle(format, data, image.pixels.data())
                                     : convertDibRows(format, data, image.pixels.data());
    if (!converted) return DibError::ConversionError;
    return image;
}

}  // namespace tamaruka
