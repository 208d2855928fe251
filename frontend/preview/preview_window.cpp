// The preview window Kirabo_R on Qt and xcb: a frameless black window that
// becomes a child of the host's X11 window and shows the preview picture
// stretched over itself. It ends the program when the host goes away.
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include "frontend/mode_windows.h"
#include "frontend/preview/preview_opening.h"
#include "frontend/resources/preview_picture.h"
#include "common/error_rule.h"
#include "frontend/toolkit/form.h"
#include "frontend/toolkit/program_services.h"

namespace tamaruka {

namespace {

xcb_connection_t* xcbConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) throw StepError("no X11 connection");
    return x11->connection();
}

class PreviewWindow : public Form {
public:
    PreviewWindow() {
        setWindowTitle(QStringLiteral("Preview Window"));
        setWindowFlag(Qt::FramelessWindowHint);
        setAutoFillBackground(true);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        picture_ = previewPicture();
    }

    // Img_Prev: the picture stretched to the rectangle it is given.
    void setPictureRect(const QRect& rect) {
        pictureRect_ = rect;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!picture_.isNull() && !pictureRect_.isEmpty()) painter.drawPixmap(pictureRect_, picture_);
    }
    // The unload handler: with the preview gone no window remains, and the
    // program ends.
    void onUnload() override { immediateEnd(0); }

private:
    QPixmap picture_;
    QRect pictureRect_;
};

// Ends the program when the host window, or our own window inside it, is
// destroyed. Qt raises no event for a foreign window's end, so the host's
// StructureNotify events are selected on our connection and caught here.
class HostWatch : public QAbstractNativeEventFilter {
public:
    HostWatch(std::uint32_t host, std::uint32_t own) : host_(host), own_(own) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
        const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (destroyed->window == host_ || destroyed->window == own_) immediateEnd(0);
        return false;
    }

private:
    std::uint32_t host_;
    std::uint32_t own_;
};

class QtPreviewPlatform : public PreviewPlatform {
public:
    std::optional<HostSize> hostSize(std::uint32_t host) override {
        xcb_connection_t* connection = xcbConnection();
        xcb_generic_error_t* error = nullptr;
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, host), &error);
        free(error);
        if (!geometry) return std::nullopt;
        const HostSize size{geometry->width, geometry->height};
        free(geometry);
        return size;
    }

    void createWindow() override {
        window_ = new PreviewWindow;
        window_->load();
    }

    void embedIn(std::uint32_t host) override {
        if (!window_) throw StepError("no preview window");
        xcb_connection_t* connection = xcbConnection();
        watchHost(connection, host);
        QWindow* hostWindow = QWindow::fromWinId(host);
        window_->windowHandle()->setParent(hostWindow);
        qGuiApp->installNativeEventFilter(new HostWatch(host, static_cast<std::uint32_t>(window_->winId())));
    }

    void placeWindow(int width, int height) override {
        if (!window_) throw StepError("no preview window");
        window_->setGeometry(0, 0, width, height);
    }

    void placePicture(int width, int height) override {
        if (!window_) throw StepError("no preview window");
        window_->setPictureRect(QRect(0, 0, width, height));
    }

    void showWindow() override {
        if (!window_) throw StepError("no preview window");
        window_->showModeless();
    }

    void endProgram() override { immediateEnd(0); }

private:
    // Adds StructureNotify to the events our connection selects on the host,
    // keeping whatever Qt selected there already. A host that is already gone
    // would never send its DestroyNotify, so the program ends at once then.
    static void watchHost(xcb_connection_t* connection, std::uint32_t host) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, host), nullptr);
        if (!attributes) immediateEnd(0);
        const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        free(attributes);
        xcb_change_window_attributes(connection, host, XCB_CW_EVENT_MASK, &mask);
        // Still there after the selection: from now on its end is reported.
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, host), nullptr);
        if (!geometry) immediateEnd(0);
        free(geometry);
    }

    PreviewWindow* window_ = nullptr;
};

}  // namespace

void openPreviewWindow(FrontEndState&, std::int32_t hostHandle) {
    ensureApplication();
    static QtPreviewPlatform platform;
    openInHost(hostHandle, platform);
}

}  // namespace tamaruka
