#include "frontend/resources/preview_picture.h"

namespace tamaruka {

QPixmap previewPicture() { return QPixmap(QStringLiteral(":/preview/preview.png")); }

}  // namespace tamaruka
