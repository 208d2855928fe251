#include "frontend/ui/ui_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace. The pictures sit in a
// static library, whose resource object the linker would otherwise drop.
static void registerUiResources() { Q_INIT_RESOURCE(ui_resources); }

namespace tamaruka {

void initUiResources()
{
    static const bool registered = (registerUiResources(), true);
    (void)registered;
}

QString facePicturePath(Face face)
{
    return QStringLiteral(":/tamaruka/ui/faces/") + QString::fromLatin1(faceName(face).data(), faceName(face).size()) +
           QStringLiteral(".png");
}

QString markerPicturePath(bool selected)
{
    return selected ? QStringLiteral(":/tamaruka/ui/markers/MarkerOn.png")
                    : QStringLiteral(":/tamaruka/ui/markers/MarkerOff.png");
}

}  // namespace tamaruka
