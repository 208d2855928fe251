#pragma once
#include <vector>

#include "frontend/ui/face_layout.h"

namespace tamaruka {

// The settings dialog's background: horizontal bands, dark navy RGB(0, 0, 30)
// at the top and bottom edges and light lavender in the middle. With
// D = H / 3.142, row y gets v = |sin(y / D)| x 220 rounded half to even and the
// colour RGB(v, v, v + 30).
Rgb bandGradientRow(int y, double height);

// Every row of a surface `height` high: rows 0 to H inclusive, H being the
// height rounded half to even (the last row lies just past the surface).
std::vector<Rgb> bandGradientRows(double height);

}  // namespace tamaruka
