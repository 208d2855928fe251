// Run-length encoded pixel data (RLE8 and RLE4). The stream is a series of
// two-byte codes: a count and a colour index (a run), or 0 and an escape:
// 0 end of line, 1 end of bitmap, 2 a move by the next two bytes, 3..255 a
// literal run of that many indexes, padded to an even number of bytes.
#include "dib/dib_pixel_rows.h"

namespace tamaruka {

namespace {

class RleCanvas {
public:
    RleCanvas(const DibPixelFormat& format, std::uint8_t* out) : format_(format), out_(out) {}

    // Paints at the current position and moves one pixel on; pixels past the
    // right edge are dropped.
    bool put(unsigned index) {
        if (index >= format_.palette.size()) return false;
        if (x_ < static_cast<std::uint64_t>(format_.width)) {
            const DibColour& colour = format_.palette[index];
            std::uint8_t* pixel =
                out_ + (y_ * static_cast<std::uint64_t>(format_.width) + x_) * 3;
            pixel[0] = colour.red;
            pixel[1] = colour.green;
            pixel[2] = colour.blue;
        }
        ++x_;
        return true;
    }
    void endLine() {
        x_ = 0;
        ++y_;
    }
    void move(unsigned dx, unsigned dy) {
        x_ += dx;
        y_ += dy;
    }
    bool pastTop() const { return y_ >= static_cast<std::uint64_t>(format_.rows); }

private:
    const DibPixelFormat& format_;
    std::uint8_t* out_;
    std::uint64_t x_ = 0;
    std::uint64_t y_ = 0;
};

}  // namespace

bool decodeDibRle(const DibPixelFormat& format, std::span<const std::uint8_t> data,
                  std::uint8_t* out) {
    const bool nibbles = format.bitCount == 4;
    RleCanvas canvas(format, out);
    std::size_t at = 0;
    while (!canvas.pastTop()) {
        if (data.size() - at < 2) return false;
        const unsigned count = data[at];
        const unsigned value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) {
                const unsigned index = nibbles ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
                if (!canvas.put(index)) return false;
            }
            continue;
        }
        switch (value) {
        case 0:
            canvas.endLine();
            break;
        case 1:
            return true;
        case 2:
            if (data.size() - at < 2) return false;
            canvas.move(data[at], data[at + 1]);
            at += 2;
            break;
        default: {
            const std::size_t bytes = nibbles ? (value + 1) / 2 : value;
            const std::size_t padded = bytes + bytes % 2;
            if (data.size() - at < padded) return false;
            for (unsigned i = 0; i < value; ++i) {
                const std::uint8_t byte = data[at + (nibbles ? i / 2 : i)];
                const unsigned index = nibbles ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte;
                if (!canvas.put(index)) return false;
            }
            at += padded;
            break;
        }
        }
    }
    // Moved past the top row: nothing more can be painted.
    return true;
}

}  // namespace tamaruka
