#pragma once

namespace tamaruka {

// The vertical field of view, in degrees, for a drawing area of width x
// height pixels: 45 degrees for 4:3 and wider. A narrower area gets a wider
// field, so that it shows as much across as 4:3 does and the launch area
// (x from -30 to 30) stays in view: tan(fovy / 2) = tan(22.5 deg) * (4/3) / aspect.
double verticalFieldOfView(int width, int height);

}  // namespace tamaruka
