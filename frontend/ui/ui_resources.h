#pragma once
#include <QString>

#include "frontend/ui/command_face.h"

namespace tamaruka {

// Registers the pictures compiled into the library (once; later calls do nothing).
void initUiResources();

// Resource paths of the six face bitmaps and the two marker pictures.
QString facePicturePath(Face face);
QString markerPicturePath(bool selected);

}  // namespace tamaruka
