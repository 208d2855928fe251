#include "display_mode/view_field.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tamaruka {

double verticalFieldOfView(int width, int height) {
    constexpr double BaseField = 45.0;
    constexpr double NarrowestFullField = 4.0 / 3.0;
    const double aspect = static_cast<double>(std::max(width, 1)) / std::max(height, 1);
    if (aspect >= NarrowestFullField) return BaseField;
    constexpr double degrees = 180.0 / std::numbers::pi;
    const double halfTangent = std::tan(BaseField / 2 / degrees) * NarrowestFullField / aspect;
    return 2 * std::atan(halfTangent) * degrees;
}

}  // namespace tamaruka
