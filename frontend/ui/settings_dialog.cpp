#include "frontend/ui/settings_dialog.h"

#include <QComboBox>
#include <QIcon>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "frontend/frontend_state.h"
#include "frontend/platform/x11_pointer.h"
#include "frontend/startup.h"
#include "common/error_rule.h"
#include "settings/settings_location.h"
#include "frontend/toolkit/program_services.h"
#include "frontend/ui/band_gradient.h"
#include "frontend/ui/command_button.h"
#include "frontend/ui/dialog_font.h"
#include "frontend/ui/file_chooser.h"
#include "frontend/ui/ui_resources.h"
#include "frontend/ui/window_frame.h"
#include "frontend/ui/zoom_animation.h"

#ifndef TAMARUKA_HOME_PAGE
#define TAMARUKA_HOME_PAGE ""
#endif

namespace tamaruka {
namespace {

constexpr int clientWidth = 479;
constexpr int clientHeight = 243;
// How long the load waits for the window manager to tell the frame's size.
constexpr std::chrono::milliseconds frameAnswerWait{300};
const QColor windowBase(192, 192, 192);
const QColor panelBase(224, 224, 224);
const QString creditLine = QStringLiteral("Tamaruka  花火ｽｸﾘｰﾝｾｰﾊﾞｰ");

// The band gradient over a surface's base colour (which it covers entirely).
QPixmap bandGradientPicture(const QSize& size, const QColor& base)
{
    QPixmap picture(size);
    picture.fill(base);
    QPainter painter(&picture);
    const std::vector<Rgb> rows = bandGradientRows(size.height());
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        painter.setPen(QColor(rows[y].r, rows[y].g, rows[y].b));
        painter.drawLine(0, y, size.width(), y);
    }
    return picture;
}

// A 32 x 32 window icon: a small burst over the dialog's bands.
QIcon dialogIcon()
{
    QPixmap icon = bandGradientPicture(QSize(32, 32), windowBase);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(16, 14);
    const std::array<QColor, 3> colours = {QColor(255, 90, 60), QColor(255, 220, 80), QColor(120, 200, 255)};
    for (int ray = 0; ray < 12; ++ray) {
        painter.setPen(QPen(colours[ray % 3], 1.6));
        const double angle = ray * 3.14159265 / 6;
        painter.drawLine(centre + QPointF(4 * std::cos(angle), 4 * std::sin(angle)),
                         centre + QPointF(12 * std::cos(angle), 12 * std::sin(angle)));
    }
    return QIcon(icon);
}

QLabel* makeLabel(QWidget* parent, const QRect& place, const QString& text)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    // The fallback fonts run a few pixels wider than the design's font; a
    // one-line caption grows to the right rather than being cut.
    const QFontMetrics metrics = label->fontMetrics();
    const QSize textSize(metrics.horizontalAdvance(text) + 1, metrics.height());
    label->setGeometry(QRect(place.topLeft(), place.size().expandedTo(textSize)));
    label->setText(text);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLabel* makeImage(QWidget* parent, const QRect& place)
{
    auto* image = new QLabel(parent);
    image->setGeometry(place);
    image->setScaledContents(true);  // the picture is stretched to the image's size
    return image;
}

Command* makeCommand(QWidget* parent, const QRect& place, const QString& caption)
{
    auto* button = new Command(parent);
    button->setGeometry(place);
    button->readProperties({{"Caption", caption.toStdString()}});
    return button;
}

// The path with a break opportunity after each folder, so a long one wraps
// onto the label's second line.
QString wrappablePath(const std::string& path)
{
    QString text = QString::fromStdString(path);
    text.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    return text;
}

}  // namespace

void BandGradientPanel::redraw()
{
    backBuffer_ = bandGradientPicture(size(), panelBase);
    update();
}

void BandGradientPanel::paintEvent(QPaintEvent*)
{
    if (backBuffer_.size() != size())
        backBuffer_ = bandGradientPicture(size(), panelBase);
    QPainter(this).drawPixmap(0, 0, backBuffer_);
}

SettingsDialog::SettingsDialog(FrontEndState& state)
    : state_(state), logic_(state, userSettingsFilePath())
{
    initUiResources();
    setWindowTitle(QString::fromUtf8(settingsDialogCaption.data(), settingsDialogCaption.size()));
    setWindowIcon(dialogIcon());
    setFixedSize(clientWidth, clientHeight);
    setFont(dialogFont());
    createControls();
}

void SettingsDialog::createControls()
{
    picC_ = new BandGradientPanel(this);
    picC_->setGeometry(12, 16, 453, 169);

    cmdEtc_ = makeCommand(this, QRect(192, 200, 125, 25), QStringLiteral("その他の作品"));
    cmdSet_ = makeCommand(this, QRect(320, 200, 73, 25), QStringLiteral("設定"));
    cmdCan_ = makeCommand(this, QRect(396, 200, 69, 25), QStringLiteral("ｷｬﾝｾﾙ"));
    QLabel* credit = makeLabel(this, QRect(12, 196, 165, 13), creditLine);
    QPalette white = credit->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    credit->setPalette(white);
    // The two marker pictures, kept outside the visible client area.
    for (int i = 0; i < 2; ++i) {
        imgRa_[i] = makeImage(this, QRect(536, 20 + 20 * i, 12, 12));
        imgRa_[i]->setPixmap(QPixmap(markerPicturePath(i == 1)));
    }

    auto* shape3 = new QFrame(picC_);
    shape3->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape3->setLineWidth(1);
    shape3->setGeometry(20, 20, 113, 21);
    makeLabel(picC_, QRect(20, 24, 111, 13), QStringLiteral("BGM"))->setAlignment(Qt::AlignCenter);

    // Rows top to bottom: CD (1), none (0), file (2); the index is the kind.
    const std::array<int, 3> rowTop = {76, 56, 96};
    const std::array<QString, 3> kindCaptions = {QStringLiteral("無し"), QStringLiteral("音楽CD"),
                                                 QStringLiteral("MP3、WAV")};
    const std::array<int, 3> captionWidth = {23, 43, 60};
    for (int kind = 0; kind < 3; ++kind) {
        imgBgm_[kind] = makeImage(picC_, QRect(20, rowTop[kind], 13, 13));
        lblBgm_[kind] = makeLabel(picC_, QRect(36, rowTop[kind], captionWidth[kind], 13), kindCaptions[kind]);
        imgBgm_[kind]->installEventFilter(this);
        lblBgm_[kind]->installEventFilter(this);
    }

    bgmRepeat_ = new QComboBox(picC_);
    bgmRepeat_->setEditable(true);
    bgmRepeat_->setInsertPolicy(QComboBox::NoInsert);
    bgmRepeat_->setGeometry(92, 52, 41, 20);
    QPalette base = bgmRepeat_->palette();
    base.setColor(QPalette::Base, Qt::white);
    bgmRepeat_->setPalette(base);
    makeLabel(picC_, QRect(136, 56, 66, 13), QStringLiteral("曲目をﾘﾋﾟｰﾄ"));

    cmdBgm_ = makeCommand(picC_, QRect(36, 116, 29, 21), QStringLiteral("..."));
    lblFname_ = makeLabel(picC_, QRect(68, 116, 357, 29), QString());
    lblFname_->setWordWrap(true);
    lblFname_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connect(cmdBgm_, &Command::click, this, [this] { chooseMusicFile(); });
    connect(cmdSet_, &Command::click, this, [this] { confirm(); });
    connect(cmdCan_, &Command::click, this, [this] { unload(); });
    connect(cmdEtc_, &Command::click, this, [this] { openHomePage(); });
}

void SettingsDialog::showLook()
{
    const MusicSectionLook& look = logic_.look();
    runStep([&] {
        for (int kind = 0; kind < 3; ++kind)
            imgBgm_[kind]->setPixmap(imgRa_[look.markerSelected[kind] ? 1 : 0]->pixmap());
    });
    runStep([&] { cmdBgm_->setCommandEnabled(look.fileButtonEnabled); });
    runStep([&] { bgmRepeat_->setEnabled(look.repeatEnabled); });
    runStep([&] { lblFname_->setText(wrappablePath(look.fileLabel)); });
}

void SettingsDialog::onLoad()
{
    runStep([&] {
        // The whole window is placed, frame included: a window manager tells
        // the frame it will give before the window is first shown.
        if (const std::optional<FrameExtents> extents = requestFrameExtents(static_cast<std::uint32_t>(winId()), frameAnswerWait))
            frameMargins_ = QMargins(extents->left, extents->top, extents->right, extents->bottom);
        const ScreenSize screen = screenSize();
        const QSize window = geometry().marginsAdded(frameMargins_).size();
        const ScreenPoint place = dialogPlacement(screen.width, screen.height, window.width(), window.height());
        move(place.x, place.y);
        // Where the frame's corner goes; a window manager places it there
        // only when the window asks for a position of its own.
        if (QWindow* native = windowHandle()) native->setFramePosition(QPoint(place.x, place.y));
        openingFrame_ = QRect(QPoint(place.x, place.y), window);
    });
    runStep([&] { prepareButtons(*this, true, true); });
    logic_.load();
    showLook();
    runStep([&] {
        bgmRepeat_->clear();
        for (const std::string& entry : logic_.look().repeatList)
            bgmRepeat_->addItem(QString::fromStdString(entry));
        bgmRepeat_->setEditText(QString::fromStdString(logic_.look().repeatText));
    });
    runStep([&] {
        const std::optional<CursorPosition> pointer = getCursorPos();
        logic_.notePointer(pointer ? std::optional<ScreenPoint>(ScreenPoint{pointer->x, pointer->y})
                                   : std::nullopt);
    });
    runStep([&] { zoomOpen(); });
    runStep([&] { setApplicationPointer(ApplicationPointer::Arrow); });
}

void SettingsDialog::onResize()
{
    // The window first, then the panel, each with its own height.
    runStep([&] {
        backBuffer_ = bandGradientPicture(size(), windowBase);
        update();
    });
    runStep([&] { picC_->redraw(); });
}

void SettingsDialog::paintEvent(QPaintEvent*)
{
    if (backBuffer_.size() != size())
        backBuffer_ = bandGradientPicture(size(), windowBase);
    QPainter(this).drawPixmap(0, 0, backBuffer_);
}

void SettingsDialog::onUnload()
{
    runStep([&] { zoomClose(); });
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        for (int kind = 0; kind < 3; ++kind) {
            if (watched == imgBgm_[kind] || watched == lblBgm_[kind]) {
                selectMusicKind(kind);
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}

void SettingsDialog::selectMusicKind(int kind)
{
    runStep([&] {
        logic_.selectMusicKind(kind);
        showLook();
    });
}

void SettingsDialog::chooseMusicFile()
{
    runStep([&] {
        QFileDialog chooser(this, chooserTitle);
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        chooser.setOption(QFileDialog::HideNameFilterDetails);
        chooser.setFileMode(QFileDialog::AnyFile);  // a typed name need not exist
        chooser.setAcceptMode(QFileDialog::AcceptOpen);
        chooser.setNameFilter(chooserFilter);
        std::optional<std::string> chosen;
        if (chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty())
            chosen = chooser.selectedFiles().first().toStdString();
        if (logic_.takeChosenFile(chosen))
            showLook();
        else if (!logic_.refusal().empty())
            messageBox(logic_.refusal());
    });
}

void SettingsDialog::confirm()
{
    std::optional<std::string> notSaved;
    runStep([&] { notSaved = logic_.confirm(bgmRepeat_->currentText().toStdString()); });
    // A failed save is said, and the dialog stays open: the user can make
    // room or fix the folder and press OK again, or cancel.
    if (notSaved) {
        messageBox(*notSaved);
        return;
    }
    unload();
}

void SettingsDialog::openHomePage()
{
    runStep([&] { setApplicationPointer(ApplicationPointer::Hourglass); });
    // openUrl hands the address to the desktop's opener and does not wait.
    runStep([&] { QDesktopServices::openUrl(QUrl(QStringLiteral(TAMARUKA_HOME_PAGE))); });
    runStep([&] { setApplicationPointer(ApplicationPointer::Arrow); });
}

QRect SettingsDialog::wholeWindow() const
{
    // Qt learns the frame only once the window manager has framed the window.
    const QRect frame = frameGeometry();
    return frame != geometry() ? frame : geometry().marginsAdded(frameMargins_);
}

void SettingsDialog::zoomOpen()
{
    animateCaptionOutline(pointRect(state_.startCursorX, state_.startCursorY),
                          openingFrame_.isValid() ? openingFrame_ : wholeWindow());
}

void SettingsDialog::zoomClose()
{
    animateCaptionOutline(wholeWindow(), pointRect(state_.startCursorX, state_.startCursorY));
}

}  // namespace tamaruka
