#include "fireworks/random_source.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace tamaruka {
namespace {

TEST(RandomSource, SeedOneGivesTheKnownSequence) {
    RandomSource random;
    random.seedRandom(1);
    const std::uint32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (std::uint32_t value : expected) EXPECT_EQ(random.nextRandom(), value);
}

TEST(RandomSource, StateWrapsModulo32BitsAndDrawsStayBelow32768) {
    RandomSource random;
    random.seedRandom(0xFFFFFFFFu);
    // 0xFFFFFFFF is -1 modulo 2^32: -214013 + 2531011 = 2316998, and
    // (2316998 >> 16) & 0x7FFF = 35.
    EXPECT_EQ(random.nextRandom(), 35u);
    EXPECT_EQ(random.state(), 2316998u);
    for (int i = 0; i < 100000; ++i) EXPECT_LT(random.nextRandom(), 32768u);
}

TEST(RandomSource, ColourIsDrawModHundredInSixtieths) {
    RandomSource random;
    random.seedRandom(1);
    EXPECT_FLOAT_EQ(random.randomColour(), 41.0f / 60.0f);
    EXPECT_FLOAT_EQ(random.randomColour(), 67.0f / 60.0f);
    EXPECT_FLOAT_EQ(random.randomColour(), 34.0f / 60.0f);
    // The largest channel value is 99/60 = 1.65.
    float largest = 0;
    for (int i = 0; i < 10000; ++i) largest = std::max(largest, random.randomColour());
    EXPECT_FLOAT_EQ(largest, 1.65f);
}

}  // namespace
}  // namespace tamaruka
