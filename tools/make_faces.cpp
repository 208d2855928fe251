// make_faces FOLDER: draws the six 64 x 25 face bitmaps of the Command button
// and saves them as FOLDER/<Face>.png. Only the outer band, four pixels deep,
// is ever shown on a button; the middle is filled but stays hidden.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr int width = 64;
constexpr int height = 25;

QColor mix(const QColor& a, const QColor& b, double t)
{
    auto m = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()));
}

// Colours of one face ring by ring, from the outside in. Rings 2 and 3 differ
// per side: top and left read downwards/rightwards, bottom and right too.
struct FaceRings {
    QColor outer;                 // ring 0
    QColor frame;                 // ring 1
    std::array<QColor, 2> top;    // rows 2, 3
    std::array<QColor, 2> left;   // columns 2, 3
    std::array<QColor, 2> bottom; // rows H-4, H-3
    std::array<QColor, 2> right;  // columns W-4, W-3
    QColor middle;
    bool lightCorners = true;     // ring 0 lightens toward the corners
    bool roundFrame = true;       // frame corner pixels blended outwards
};

QImage drawFace(const FaceRings& f, int w = width, int h = height)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dl = x, dt = y, dr = w - 1 - x, db = h - 1 - y;
            const int ring = std::min({dl, dt, dr, db});
            QColor c = f.middle;
            if (ring == 0) {
                c = f.outer;
                // Lighter within four pixels of a corner.
                const int toCorner = std::max(std::min(dl, dr), std::min(dt, db));
                if (f.lightCorners && toCorner < 4)
                    c = mix(f.outer, Qt::white, (4 - toCorner) * 0.12);
            } else if (ring == 1) {
                c = f.frame;
            } else if (ring <= 3) {
                const int i = ring - 2;
                if (dt == ring)
                    c = f.top[i];
                else if (db == ring)
                    c = f.bottom[1 - i];
                else if (dl == ring)
                    c = f.left[i];
                else
                    c = f.right[1 - i];
            }
            image.setPixelColor(x, y, c);
        }
    }
    if (f.roundFrame) {
        // Rounded frame: each corner pixel of the frame blends into the ring
        // outside it, and the first inner pixel takes a touch of the frame.
        const std::array<std::pair<int, int>, 4> corners = {
            std::pair{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}};
        for (auto [x, y] : corners) {
            image.setPixelColor(x, y, mix(f.frame, f.outer, 0.55));
            const int ix = x == 1 ? 2 : w - 3;
            const int iy = y == 1 ? 2 : h - 3;
            image.setPixelColor(ix, iy, mix(image.pixelColor(ix, iy), f.frame, 0.35));
        }
    }
    return image;
}

// The face drawn one pixel smaller all round inside a new outer ring: every
// ring moves in by one pixel.
QImage movedIn(const FaceRings& inner, const QColor& newOuter)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(newOuter);
    const QImage small = drawFace(inner, width - 2, height - 2);
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            image.setPixelColor(x + 1, y + 1, small.pixelColor(x, y));
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_faces FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    const QColor beige("#E2DECB"), navy("#003C74"), dialogGrey("#ECE9D8");

    FaceRings normal;
    normal.outer = beige;
    normal.frame = navy;
    normal.top = {QColor("#F3F3EE"), QColor("#F4F4F0")};
    normal.left = normal.top;
    normal.bottom = {QColor("#E2DFD6"), QColor("#D6D0C5")};
    normal.right = {QColor("#EEEDE7"), QColor("#E8E5DF")};
    normal.middle = QColor("#F0EEE0");

    FaceRings highLight = normal;
    highLight.top = {QColor("#FFF0CF"), QColor("#FDD889")};
    highLight.left = {QColor("#FCCA69"), QColor("#FBCA6A")};
    highLight.right = {QColor("#FBCA6A"), QColor("#FCCA69")};
    highLight.bottom = {QColor("#F8B330"), QColor("#E59700")};

    FaceRings selected = normal;
    selected.top = {QColor("#CEE7FF"), QColor("#CEE7FF")};
    selected.left = {QColor("#A9C5EF"), QColor("#A9C5EF")};
    selected.right = selected.left;
    selected.bottom = {QColor("#6982EE"), QColor("#6982EE")};

    // Pressed: outer grey, then the pale blend, then the navy frame; a flat
    // darker face with a faint shadow along the top and left.
    FaceRings pressedInner;
    pressedInner.outer = beige;
    pressedInner.frame = navy;
    pressedInner.top = {QColor("#D1CCC1"), QColor("#DCD8CF")};
    pressedInner.left = pressedInner.top;
    pressedInner.bottom = {QColor("#E2E1D9"), QColor("#E2E1D9")};
    pressedInner.right = pressedInner.bottom;
    pressedInner.middle = QColor("#E2E1D9");
    pressedInner.lightCorners = false;

    FaceRings disable;
    disable.outer = dialogGrey;
    disable.frame = QColor("#C9C7BA");
    disable.top = {QColor("#F5F4EA"), QColor("#F5F4EA")};
    disable.left = disable.top;
    disable.bottom = disable.top;
    disable.right = disable.top;
    disable.middle = QColor("#F5F4EA");
    disable.lightCorners = false;

    const std::array<std::pair<const char*, QImage>, 6> faces = {{
        {"Normal", drawFace(normal)},
        {"HighLight", drawFace(highLight)},
        {"Pressed", movedIn(pressedInner, dialogGrey)},
        {"Selected", drawFace(selected)},
        {"HighLightSelect", drawFace(highLight)},  // the same pixels as HighLight
        {"Disable", drawFace(disable)},
    }};
    for (const auto& [name, image] : faces) {
        const QString path = folder + "/" + name + ".png";
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "make_faces: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
