#include "display_mode/changed_bands.h"

#include <algorithm>

namespace tamaruka {

std::vector<BandRect> changedBands(std::span<const std::pair<int, int>> perRow, int width, int bandRows) {
    std::vector<BandRect> bands;
    const int height = static_cast<int>(perRow.size());
    for (int band = 0; band < height; band += bandRows) {
        const int end = std::min(band + bandRows, height);
        int left = width, right = 0, top = end, bottom = band;
        for (int y = band; y < end; ++y) {
            const auto [from, to] = perRow[static_cast<std::size_t>(y)];
            if (from >= to) continue;
            left = std::min(left, from);
            right = std::max(right, to);
            top = std::min(top, y);
            bottom = y + 1;
        }
        if (left < right) bands.push_back({left, top, right - left, bottom - top});
    }
    return bands;
}

}  // namespace tamaruka
