#include "frontend/ui/band_gradient.h"

#include <cmath>

namespace tamaruka {

Rgb bandGradientRow(int y, double height)
{
    // 3.142 rather than pi: the bands end a hair before the bottom edge.
    const double d = height / 3.142;
    const double v = std::nearbyint(std::fabs(std::sin(y / d)) * 220);
    const auto level = static_cast<std::uint8_t>(v);
    return {level, level, static_cast<std::uint8_t>(level + 30)};
}

std::vector<Rgb> bandGradientRows(double height)
{
    const int last = static_cast<int>(std::nearbyint(height));
    std::vector<Rgb> rows;
    if (last < 0 || height <= 0)
        return rows;
    rows.reserve(last + 1);
    for (int y = 0; y <= last; ++y)
        rows.push_back(bandGradientRow(y, height));
    return rows;
}

}  // namespace tamaruka
