#pragma once
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <string>

#include "frontend/ui/command_face.h"
#include "frontend/ui/command_logic.h"

class QLabel;

namespace tamaruka {

// The Command push button: an owner-drawn face (gradient plus the frame of
// one of six face bitmaps) with a transparent caption label over it. The
// behaviour lives in CommandLogic; this widget draws and forwards events.
// It has no keyboard behaviour: Enter, Space and access keys raise nothing.
class Command : public QWidget, private CommandView {
    Q_OBJECT
public:
    explicit Command(QWidget* parent = nullptr);
    ~Command() override;

    // Loads the saved properties; the host form's font is the ambient font.
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag);

    void initialize() { logic_.initialize(); }

    void setCommandEnabled(bool enabled) { logic_.setEnabled(enabled); }
    bool commandEnabled() { return logic_.readEnabled(); }
    void setCaption(const QString& caption) { logic_.setCaption(caption.toStdString()); }
    QString caption() const { return QString::fromStdString(logic_.caption()); }

    const CommandLogic& logic() const { return logic_; }

signals:
    void click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // CommandView
    void drawFace(Face face, bool hoverShade) override;
    void setCaptionEnabled(bool enabled) override;
    void setCaptionText(const std::string& text) override;
    void setCaptionFont(const std::string& font) override;
    void setCaptionColour(std::uint32_t rgb) override;
    void setFaceShown(bool opaque) override;
    void startHoverTimer(int intervalMs) override;
    void propertyChanged(std::string_view name) override;
    void raiseClick() override;

    std::string ambientFont() const;
    bool pointerIsOverButton() const;
    void layOutCaption();

    CommandLogic logic_;
    QLabel* lblMsg_ = nullptr;
    QTimer tmrMouse_;
    QPixmap surface_;  // the persistent drawing surface, shown by paintEvent
    bool faceShown_ = true;
};

// PrepareButtons: every Command on the form gets Initialize (initialize true)
// or the given Enabled value. A failure on one button does not stop the walk.
void prepareButtons(QWidget& form, bool initialize, bool enable);

}  // namespace tamaruka
