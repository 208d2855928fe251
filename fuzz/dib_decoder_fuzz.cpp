// libFuzzer target for the bitmap decoder: any byte string must decode or
// fail with one of its errors, never read outside the input, and a decoded
// picture must hold exactly width x height x 3 bytes (none when top-down),
// keep both sides within the texture limit, and cost no more than its data
// can paint (the bound that keeps a tiny run-length file from claiming a
// vast picture).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "dib/dib_decoder.h"

namespace {

// Huge but well-formed RLE pictures would spend each run zero-filling memory.
constexpr std::size_t kPixelLimit = std::size_t{1} << 20;
// Small enough for the fuzzer to cross it with short inputs.
constexpr std::int32_t kMaxSide = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tamaruka::DibDecodeResult result =
        tamaruka::decodeDib({data, size}, {.maxSide = kMaxSide, .maxPixelBytes = kPixelLimit});
    if (const auto* image = std::get_if<tamaruka::DibImage>(&result)) {
        const std::size_t expected =
            image->height > 0 ? static_cast<std::size_t>(image->width) *
                                    static_cast<std::size_t>(image->height) * 3
                              : 0;
        if (image->width <= 0 || image->height == 0 || image->pixels.size() != expected) {
            std::abort();
        }
        if (image->width > kMaxSide || image->height > kMaxSide || image->height < -kMaxSide) {
            std::abort();
        }
        if (image->pixels.size() > tamaruka::dibRlePixelBytesBound(size)) std::abort();
    }
    return 0;
}
