#pragma once
#include <QRect>

namespace tamaruka {

// A window-caption outline moving from one screen rectangle to the other,
// drawn in a frameless top-level window that takes no input. Returns when
// the animation has finished and the outline is gone.
void animateCaptionOutline(const QRect& from, const QRect& to);

// The empty rectangle at a screen point: where the zooms start and end.
QRect pointRect(int x, int y);

}  // namespace tamaruka
