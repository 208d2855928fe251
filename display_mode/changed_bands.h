#pragma once
#include <span>
#include <utility>
#include <vector>

namespace tamaruka {

struct BandRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The changed columns [first, second) of each row, merged into one rectangle
// for each band of `bandRows` rows that has any: few requests, little excess.
std::vector<BandRect> changedBands(std::span<const std::pair<int, int>> perRow, int width, int bandRows);

}  // namespace tamaruka
