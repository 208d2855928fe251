// libFuzzer target for the bitmap decoder: any byte string must decode or
// fail with one of its errors, never read outside the input, and a decoded
// picture must hold exactly width x height x 3 bytes (none when top-down).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "dib/dib_decoder.h"

namespace {

// Huge but well-formed RLE pictures would spend each run zero-filling memory.
constexpr std::size_t kPixelLimit = std::size_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tamaruka::DibDecodeResult result = tamaruka::decodeDib({data, size}, kPixelLimit);
    if (const auto* image = std::get_if<tamaruka::DibImage>(&result)) {
        const std::size_t expected =
            image->height > 0 ? static_cast<std::size_t>(image->width) *
                                    static_cast<std::size_t>(image->height) * 3
                              : 0;
        if (image->width <= 0 || image->height == 0 || image->pixels.size() != expected) {
            std::abort();
        }
    }
    return 0;
}
