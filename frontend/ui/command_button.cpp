#include "frontend/ui/command_button.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <array>

#include "common/error_rule.h"
#include "frontend/toolkit/program_services.h"
#include "frontend/ui/face_layout.h"
#include "frontend/ui/ui_resources.h"

namespace tamaruka {
namespace {

constexpr int captionLinePixels = 13;  // LblMsg is one line high

PointerButton pointerButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return PointerButton::Left;
    case Qt::RightButton:
        return PointerButton::Right;
    default:
        return PointerButton::Middle;
    }
}

QRect pixelRect(const TwipRect& r)
{
    // Edges rather than sizes are converted, so neighbouring pieces meet.
    const int left = twipsToPixels(r.left);
    const int top = twipsToPixels(r.top);
    return QRect(left, top, twipsToPixels(r.left + r.width) - left,
                 twipsToPixels(r.top + r.height) - top);
}

// The six face bitmaps, decoded once for all buttons. A missing face stays
// null and leaves the gradient without a frame.
const std::array<QImage, faceCount>& facePictures()
{
    static const std::array<QImage, faceCount> faces = [] {
        std::array<QImage, faceCount> loaded;
        for (int i = 0; i < faceCount; ++i)
            runStep([&] { loaded[i] = QImage(facePicturePath(static_cast<Face>(i))); });
        return loaded;
    }();
    return faces;
}

}  // namespace

Command::Command(QWidget* parent) : QWidget(parent), logic_(*this)
{
    initUiResources();
    lblMsg_ = new QLabel(this);
    lblMsg_->setAlignment(Qt::AlignCenter);
    lblMsg_->setAttribute(Qt::WA_TranslucentBackground);
    // The caption passes its mouse events on, so it never swallows a hover,
    // a press or a click.
    lblMsg_->setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(&tmrMouse_, &QTimer::timeout, this,
            [this] { runStep([&] { logic_.hoverTick(pointerIsOverButton()); }); });
}

Command::~Command() = default;

std::string Command::ambientFont() const
{
    const QWidget* host = parentWidget();
    return (host ? host->font() : font()).toString().toStdString();
}

void Command::readProperties(const PropertyBag& bag) { logic_.readProperties(bag, ambientFont()); }

void Command::writeProperties(PropertyBag& bag) { logic_.writeProperties(bag, ambientFont()); }

bool Command::pointerIsOverButton() const
{
    // Another program's window, the desktop, the host form and other controls
    // all count as away; the caption label belongs to the button.
    const QWidget* under = QApplication::widgetAt(QCursor::pos());
    return under == this || (under && isAncestorOf(under));
}

void Command::drawFace(Face face, bool hoverShade)
{
    if (surface_.size() != size())
        surface_ = QPixmap(size());
    surface_.fill(Qt::transparent);
    QPainter painter(&surface_);
    // FillFaceGradient: one colour per row, first at the top row, second at the bottom.
    runStep([&] {
        for (int y = 0; y < height(); ++y) {
            const Rgb c = faceGradientRow(hoverShade, y, height());
            painter.setPen(QColor(c.r, c.g, c.b));
            painter.drawLine(0, y, width() - 1, y);
        }
    });
    runStep([&] {
        const QImage& picture = facePictures()[static_cast<int>(face)];
        if (picture.isNull())
            throw StepError("face picture missing");
        for (const FacePiece& piece : faceFramePieces(width() * twipsPerPixel, height() * twipsPerPixel))
            painter.drawImage(pixelRect(piece.destination), picture, pixelRect(piece.source));
    });
    painter.end();
    update();
    layOutCaption();
}

void Command::layOutCaption()
{
    const int lineHeight = std::max(captionLinePixels, lblMsg_->fontMetrics().height());
    const double top = captionTopTwips(height() * twipsPerPixel, lineHeight * twipsPerPixel);
    lblMsg_->setGeometry(0, twipsToPixels(top), width(), lineHeight);
}

void Command::setCaptionEnabled(bool enabled) { lblMsg_->setEnabled(enabled); }

void Command::setCaptionText(const std::string& text) { lblMsg_->setText(QString::fromStdString(text)); }

void Command::setCaptionFont(const std::string& font)
{
    QFont f;
    if (f.fromString(QString::fromStdString(font)))
        lblMsg_->setFont(f);
    layOutCaption();
}

void Command::setCaptionColour(std::uint32_t rgb)
{
    // Only the enabled groups: a disabled caption keeps the greyed look.
    QPalette palette = lblMsg_->palette();
    const QColor colour = QColor::fromRgb(rgb);
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    lblMsg_->setPalette(palette);
}

void Command::setFaceShown(bool opaque)
{
    faceShown_ = opaque;
    update();
}

void Command::startHoverTimer(int intervalMs) { tmrMouse_.start(intervalMs); }

void Command::propertyChanged(std::string_view name)
{
    // A disabled button takes no focus; the host's other properties need nothing.
    if (name == "Enabled") {
        setFocusPolicy(logic_.enabled() ? Qt::StrongFocus : Qt::NoFocus);
        if (!logic_.enabled() && hasFocus())
            clearFocus();
    }
}

void Command::raiseClick() { emit click(); }

void Command::paintEvent(QPaintEvent*)
{
    if (!faceShown_ || surface_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, surface_);
}

void Command::resizeEvent(QResizeEvent*)
{
    runStep([&] { logic_.resized(); });
}

void Command::mouseMoveEvent(QMouseEvent* event)
{
    // While a button is held, Qt keeps sending moves from outside the button.
    if (rect().contains(event->position().toPoint()))
        runStep([&] { logic_.pointerMoved(); });
}

void Command::enterEvent(QEnterEvent*)
{
    runStep([&] { logic_.pointerMoved(); });
}

void Command::mousePressEvent(QMouseEvent* event)
{
    runStep([&] { logic_.buttonDown(pointerButton(event->button())); });
}

void Command::mouseReleaseEvent(QMouseEvent* event)
{
    runStep([&] { logic_.buttonUp(pointerButton(event->button())); });
}

void Command::focusInEvent(QFocusEvent*)
{
    runStep([&] { logic_.focusArrived(); });
}

void Command::focusOutEvent(QFocusEvent*)
{
    runStep([&] { logic_.focusLeft(); });
}

void prepareButtons(QWidget& form, bool initialize, bool enable)
{
    for (Command* button : form.findChildren<Command*>()) {
        runStep([&] {
            if (initialize)
                button->initialize();
            else
                button->setCommandEnabled(enable);
        });
    }
}

}  // namespace tamaruka
