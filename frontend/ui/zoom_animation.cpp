#include "frontend/ui/zoom_animation.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace tamaruka {
namespace {

constexpr int durationMs = 200;
constexpr int frameMs = 15;
constexpr int border = 2;
constexpr int captionBar = 18;

// The outline: a thin frame with a caption bar along its top. Only those
// pixels belong to the window (a mask), so what lies below stays visible
// without a compositor.
class CaptionOutline : public QWidget {
public:
    CaptionOutline()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                               Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void place(const QRect& r)
    {
        const QRect area(r.topLeft(), r.size().expandedTo(QSize(1, 1)));
        setGeometry(area);
        const QRect local(QPoint(0, 0), area.size());
        const int bar = std::min(captionBar, area.height());
        QRegion shape = QRegion(local).subtracted(QRegion(local.adjusted(border, border, -border, -border)));
        shape += QRegion(0, 0, area.width(), bar);
        setMask(shape);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 0, 128));
        p.fillRect(QRect(0, 0, width(), std::min(captionBar, height())), QColor(10, 36, 106));
    }
};

int between(int a, int b, double t) { return a + static_cast<int>((b - a) * t + (b >= a ? 0.5 : -0.5)); }

QRect between(const QRect& a, const QRect& b, double t)
{
    return QRect(QPoint(between(a.left(), b.left(), t), between(a.top(), b.top(), t)),
                 QSize(between(a.width(), b.width(), t), between(a.height(), b.height(), t)));
}

}  // namespace

QRect pointRect(int x, int y) { return QRect(x, y, 0, 0); }

void animateCaptionOutline(const QRect& from, const QRect& to)
{
    CaptionOutline outline;
    outline.place(from);
    outline.show();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    for (;;) {
        const double t = std::min(1.0, clock.elapsed() / static_cast<double>(durationMs));
        outline.place(between(from, to, t));
        outline.repaint();
        if (t >= 1.0)
            break;
        // Let the X server draw the frame; user input waits until we are done.
        QTimer::singleShot(frameMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    outline.hide();
}

}  // namespace tamaruka
