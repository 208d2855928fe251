#pragma once
#include <array>
#include <string_view>

namespace tamaruka {

// The six face bitmaps of the Command button (64 x 25 pixels each; only the
// 4-pixel outer band is ever shown).
enum class Face { Normal, HighLight, Pressed, Selected, HighLightSelect, Disable };

inline constexpr int faceCount = 6;
inline constexpr int faceWidthPixels = 64;
inline constexpr int faceHeightPixels = 25;

// Resource names of the face pictures, in the order of Face.
inline constexpr std::array<std::string_view, faceCount> faceNames = {
    "Normal", "HighLight", "Pressed", "Selected", "HighLightSelect", "Disable"};

constexpr std::string_view faceName(Face face) { return faceNames[static_cast<int>(face)]; }

}  // namespace tamaruka
