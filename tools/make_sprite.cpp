// Generates the particle sprite: a 32 x 32 soft grey glow on black, stored as a
// 24-bit bottom-up Windows BMP of 3126 bytes. The glow follows a table of mean
// grey levels by distance from the middle point (15.5, 15.5); single pixels get
// a little fixed noise so the glow does not look machine-made.
//
//   make_sprite --bmp <file>   writes the bitmap file
//   make_sprite --cpp <file>   writes C++ source that embeds the bitmap bytes
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "dib/dib_encoder.h"

namespace {

constexpr int Side = 32;
constexpr double Middle = 15.5;
constexpr int BrightestLevel = 254;
constexpr int FileSize = 14 + 40 + Side * Side * 3;  // 3126

// Mean grey by distance rounded to whole pixels; 0 from 22 on.
constexpr std::array<int, 23> MeanGreyByDistance = {
    254, 254, 251, 226, 172, 140, 108, 84, 66, 51, 41, 34,
    28,  23,  19,  15,  11,  10,  7,   6,  4,  2,  0};

double distanceFromMiddle(int column, int row) {
    return std::hypot(column - Middle, row - Middle);
}

int distanceBin(int column, int row) {
    return static_cast<int>(std::lround(distanceFromMiddle(column, row)));
}

// A fixed pseudo-random offset per pixel, -2 ... 2, from an integer hash.
int pixelNoise(int column, int row) {
    std::uint32_t h = static_cast<std::uint32_t>(column) * 73856093u ^
                      static_cast<std::uint32_t>(row) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h % 5u) - 2;
}

// Grey levels of the picture, top row first, from a piecewise linear profile
// through control values at whole distances.
std::vector<int> renderGlow(const std::vector<double>& control) {
    std::vector<int> grey(Side * Side);
    for (int row = 0; row < Side; ++row) {
        for (int column = 0; column < Side; ++column) {
            const double d = distanceFromMiddle(column, row);
            const auto knot = static_cast<std::size_t>(d);
            const double t = d - static_cast<double>(knot);
            const double a = control[std::min(knot, control.size() - 1)];
            const double b = control[std::min(knot + 1, control.size() - 1)];
            const double smooth = a + (b - a) * t;
            // Noise fades out with the glow so the black corners stay black.
            const double noise = pixelNoise(column, row) * std::min(1.0, smooth / 20.0);
            const long value = std::lround(smooth + noise);
            grey[row * Side + column] = static_cast<int>(std::clamp(value, 0L, long{BrightestLevel}));
        }
    }
    return grey;
}

std::vector<double> meansByDistance(const std::vector<int>& grey) {
    std::vector<double> sum(64, 0.0), count(64, 0.0);
    for (int row = 0; row < Side; ++row) {
        for (int column = 0; column < Side; ++column) {
            const int bin = distanceBin(column, row);
            sum[bin] += grey[row * Side + column];
            count[bin] += 1.0;
        }
    }
    std::vector<double> mean(64, 0.0);
    for (std::size_t i = 0; i < mean.size(); ++i) mean[i] = count[i] > 0 ? sum[i] / count[i] : 0.0;
    return mean;
}

int targetMean(std::size_t bin) {
    return bin < MeanGreyByDistance.size() ? MeanGreyByDistance[bin] : 0;
}

// Fits the control values so that every distance's mean matches the table.
std::vector<int> fitGlow(double& worstError) {
    std::vector<double> control(MeanGreyByDistance.begin(), MeanGreyByDistance.end());
    control.resize(26, 0.0);
    std::vector<int> grey;
    for (int round = 0; round < 200; ++round) {
        grey = renderGlow(control);
        const std::vector<double> mean = meansByDistance(grey);
        for (std::size_t k = 1; k < control.size(); ++k) {
            control[k] += 0.6 * (targetMean(k) - mean[k]);
            // Above the brightest level only the clamp matters; keep it bounded.
            control[k] = std::clamp(control[k], -10.0, 300.0);
        }
        control[0] = std::max(control[0], control[1]);
    }
    grey = renderGlow(control);
    const std::vector<double> mean = meansByDistance(grey);
    worstError = 0.0;
    for (std::size_t k = 1; k < 23; ++k)
        worstError = std::max(worstError, std::abs(mean[k] - targetMean(k)));
    return grey;
}

std::vector<std::uint8_t> encodeBitmap(const std::vector<int>& grey) {
    tamaruka::DibImage image{Side, Side, {}};
    image.pixels.reserve(Side * Side * 3);
    for (int row = Side - 1; row >= 0; --row) {  // bottom row first
        for (int column = 0; column < Side; ++column) {
            const auto level = static_cast<std::uint8_t>(grey[row * Side + column]);
            image.pixels.insert(image.pixels.end(), {level, level, level});
        }
    }
    return tamaruka::encodeDib(image, 24);
}

bool writeBinary(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool writeSource(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::trunc);
    file << "// Generated by tools/make_sprite from its glow profile; do not edit.\n"
         << "#include \"fireworks/sprite_bitmap.h\"\n\n"
         << "namespace tamaruka {\n\nnamespace {\n\n"
         << "constexpr std::uint8_t SpriteBytes[" << bytes.size() << "] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        file << (i % 16 == 0 ? "\n    " : " ") << static_cast<int>(bytes[i]) << ',';
    }
    file << "\n};\n\n}  // namespace\n\n"
         << "std::span<const std::uint8_t> spriteBitmap() { return SpriteBytes; }\n\n"
         << "}  // namespace tamaruka\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::string(argv[1]) != "--bmp" && std::string(argv[1]) != "--cpp")) {
        std::cerr << "usage: make_sprite --bmp|--cpp <output file>\n";
        return 2;
    }
    double worstError = 0.0;
    const std::vector<std::uint8_t> bytes = encodeBitmap(fitGlow(worstError));
    // The profile must come out within a level of the table; anything worse is a bug here.
    if (bytes.size() != FileSize || worstError > 1.0) {
        std::cerr << "make_sprite: profile off by " << worstError << " levels\n";
        return 1;
    }
    const std::string mode = argv[1];
    const bool written = mode == "--bmp" ? writeBinary(argv[2], bytes) : writeSource(argv[2], bytes);
    if (!written) {
        std::cerr << "make_sprite: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
