// make_markers FOLDER: draws the two 12 x 12 marker pictures of the settings
// dialog and saves them as FOLDER/MarkerOff.png (an empty light square in a
// grey frame) and FOLDER/MarkerOn.png (the same square with a blue square inside).
#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int side = 12;

QImage drawMarker(bool selected)
{
    QImage image(side, side, QImage::Format_RGB888);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int ring = std::min({x, y, side - 1 - x, side - 1 - y});
            QColor c("#F6F6F2");                 // the light square
            if (ring == 0)
                c = QColor("#8C8C8C");           // grey frame
            else if (ring == 1)
                c = QColor("#DCDCD6");           // soft inner edge
            else if (selected && ring == 3)
                c = QColor("#3C64C8");           // blue square, its rim
            else if (selected && ring >= 4)
                c = QColor("#2850B4");           // blue square, its middle
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_markers FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    for (bool selected : {false, true}) {
        const QString path = folder + (selected ? "/MarkerOn.png" : "/MarkerOff.png");
        if (!drawMarker(selected).save(path, "PNG")) {
            std::fprintf(stderr, "make_markers: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
