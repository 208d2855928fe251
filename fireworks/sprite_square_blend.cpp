#include "fireworks/sprite_square_blend.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tamaruka {

namespace {

// 1/255 as the float factor llvmpipe turns a texel byte into a float with.
constexpr float UnormScale = static_cast<float>(1.0 / 255.0);

#if defined(__SSE2__)

// Two pixels at once, four 16-bit channels each.
[[gnu::always_inline]] inline __m128i lerp(__m128i v0, __m128i v1, __m128i weight, __m128i inverse) {
    // (256 - w) v0 + w v1 + 128 stays below 65536: unsigned 16-bit lanes hold it.
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(v0, inverse), _mm_mullo_epi16(v1, weight));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

// The filter's first and second taps in one texel row for pixels p and q,
// each as the two pixels' four channels in 16-bit lanes.
[[gnu::always_inline]] inline void tapPairs(const std::uint32_t* row, const TexelSpan& p, const TexelSpan& q,
                                            __m128i& first, __m128i& second) {
    const __m128i taps = _mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + p.first)),
                                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + q.first)));
    first = _mm_unpacklo_epi8(taps, _mm_setzero_si128());
    second = _mm_unpackhi_epi8(taps, _mm_setzero_si128());
}

__m128i weightPair(std::uint32_t p, std::uint32_t q) {
    return _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(p)), _mm_set1_epi16(static_cast<short>(q)));
}

// Modulates one pixel's filtered channels (32-bit lanes) in float.
[[gnu::always_inline]] inline __m128i modulate(__m128i texel, __m128 colour) {
    const __m128 value = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(_mm_cvtepi32_ps(texel), _mm_set1_ps(UnormScale)), colour),
                                    _mm_set1_ps(255.0f));
    return _mm_cvtps_epi32(value);  // rounds half to even
}

// The filtered, modulated and alpha-weighted bytes of pixels p and q.
[[gnu::always_inline]] inline __m128i sourcePair(const std::uint32_t* upperRow, const std::uint32_t* lowerRow, __m128i rowWeight,
                   __m128i rowInverse, const TexelSpan& p, const TexelSpan& q, __m128 colour, __m128i alpha) {
    const __m128i weight = weightPair(p.weight, q.weight);
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), weight);
    __m128i upperFirst, upperSecond, lowerFirst, lowerSecond;
    tapPairs(upperRow, p, q, upperFirst, upperSecond);
    tapPairs(lowerRow, p, q, lowerFirst, lowerSecond);
    const __m128i texel = lerp(lerp(upperFirst, upperSecond, weight, inverse),
                               lerp(lowerFirst, lowerSecond, weight, inverse), rowWeight, rowInverse);
    const __m128i zero = _mm_setzero_si128();
    const __m128i modulated = _mm_packs_epi32(modulate(_mm_unpacklo_epi16(texel, zero), colour),
                                              modulate(_mm_unpackhi_epi16(texel, zero), colour));
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(modulated, alpha), _mm_set1_epi16(0x80));
    const __m128i product = _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
    return _mm_packus_epi16(product, product);
}

#else

std::uint32_t lerp(std::uint32_t v0, std::uint32_t v1, std::uint32_t w) { return ((256 - w) * v0 + w * v1 + 128) >> 8; }

std::uint32_t multiplyBytes(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t x = a * b + 0x80;
    return (x + (x >> 8)) >> 8;
}

#endif

}  // namespace

void blendSpriteSquare(const std::uint32_t* texels, std::span<const TexelSpan> columns,
                       std::span<const TexelSpan> rows, const float colour[3], std::uint32_t alpha,
                       std::uint8_t* topLeft, std::size_t bytesPerLine) {
    if (alpha == 0) return;  // adds nothing
    const std::size_t width = columns.size();
#if defined(__SSE2__)
    const __m128 colours = _mm_setr_ps(colour[0], colour[1], colour[2], 0.0f);
    const __m128i alphas = _mm_set1_epi16(static_cast<short>(alpha));
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const TexelSpan& row = rows[j];
        const __m128i rowWeight = _mm_set1_epi16(static_cast<short>(row.weight));
        const __m128i rowInverse = _mm_set1_epi16(static_cast<short>(256 - row.weight));
        const std::uint32_t* upper = texels + row.first;
        const std::uint32_t* lower = texels + row.second;
        std::uint8_t* out = topLeft + j * bytesPerLine;
        std::size_t i = 0;
        for (; i + 2 <= width; i += 2, out += 8) {
            const __m128i source =
                sourcePair(upper, lower, rowWeight, rowInverse, columns[i], columns[i + 1], colours, alphas);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out),
                             _mm_adds_epu8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(out)), source));
        }
        if (i < width) {
            const __m128i source =
                sourcePair(upper, lower, rowWeight, rowInverse, columns[i], columns[i], colours, alphas);
            std::uint32_t pixel;
            std::copy_n(out, 4, reinterpret_cast<std::uint8_t*>(&pixel));
            pixel = static_cast<std::uint32_t>(
                _mm_cvtsi128_si32(_mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(pixel)), source)));
            std::copy_n(reinterpret_cast<const std::uint8_t*>(&pixel), 4, out);
        }
    }
#else
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const TexelSpan& row = rows[j];
        std::uint8_t* out = topLeft + j * bytesPerLine;
        for (std::size_t i = 0; i < width; ++i, out += 4) {
            const TexelSpan& column = columns[i];
            const std::uint32_t a = texels[row.first + column.first], b = texels[row.first + column.second];
            const std::uint32_t c = texels[row.second + column.first], d = texels[row.second + column.second];
            for (int channel = 0; channel < 3; ++channel) {
                const int shift = channel * 8;
                const auto byte = [shift](std::uint32_t t) { return (t >> shift) & 0xFFu; };
                const std::uint32_t texel = lerp(lerp(byte(a), byte(b), column.weight),
                                                 lerp(byte(c), byte(d), column.weight), row.weight);
                const float modulated = static_cast<float>(texel) * UnormScale * colour[channel] * 255.0f;
                const std::uint32_t source = multiplyBytes(static_cast<std::uint32_t>(std::lrint(modulated)), alpha);
                out[channel] = static_cast<std::uint8_t>(std::min(out[channel] + source, 255u));
            }
        }
    }
#endif
}

}  // namespace tamaruka
