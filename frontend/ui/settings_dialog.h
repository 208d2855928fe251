#pragma once
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <array>

#include "frontend/toolkit/form.h"
#include "frontend/ui/settings_dialog_logic.h"

class QComboBox;
class QLabel;

namespace tamaruka {

class Command;
struct FrontEndState;

// A surface painted with the dialog's band gradient, kept in a back buffer
// so it looks the same after being covered and uncovered.
class BandGradientPanel : public QWidget {
public:
    using QWidget::QWidget;
    void redraw();  // the gradient for the current size

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap backBuffer_;
};

// The settings dialog Kirabo_P: music kind, CD track and music file; OK
// writes them to the settings file, Cancel and the close box write nothing.
class SettingsDialog : public Form {
public:
    explicit SettingsDialog(FrontEndState& state);

protected:
    void onLoad() override;
    void onResize() override;
    void onUnload() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void showLook();
    void selectMusicKind(int kind);
    void chooseMusicFile();
    void confirm();
    void openHomePage();
    void zoomOpen();
    void zoomClose();
    QRect wholeWindow() const;  // the window with its frame, on the screen

    FrontEndState& state_;
    SettingsDialogLogic logic_;
    QPixmap backBuffer_;
    QMargins frameMargins_;  // the window manager's frame; none without one
    QRect openingFrame_;     // where the whole window is first shown
    BandGradientPanel* picC_ = nullptr;
    Command* cmdEtc_ = nullptr;
    Command* cmdSet_ = nullptr;
    Command* cmdCan_ = nullptr;
    Command* cmdBgm_ = nullptr;
    QComboBox* bgmRepeat_ = nullptr;
    QLabel* lblFname_ = nullptr;
    std::array<QLabel*, 2> imgRa_{};
    std::array<QLabel*, 3> imgBgm_{};
    std::array<QLabel*, 3> lblBgm_{};
};

}  // namespace tamaruka
