#pragma once
#include <QPixmap>

namespace tamaruka {

// The embedded preview picture: 152 x 112 pixels, one large round burst on a
// black sky. Null only if the resource is missing from the build.
QPixmap previewPicture();

}  // namespace tamaruka
