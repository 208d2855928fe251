#include "display_mode/x_connection.h"

#include <GL/glx.h>
#include "common/x_error_guard.h"
#include "display_mode/startup_error.h"

namespace tamaruka {

namespace {

std::function<void()> connectionLostAction;

}  // namespace

XConnection::XConnection() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        const char* name = XDisplayName(nullptr);
        throw StartupError(std::string("cannot open the X display '") + (name ? name : "") + "'");
    }
    int glxErrorBase = -1;
    int eventBase = 0;
    if (!glXQueryExtension(display_, &glxErrorBase, &eventBase)) glxErrorBase = -1;
    installXErrorGuard({.connectionLostLine = "tamaruka: lost the connection to the X display",
                        .connectionLostExitCode = 1,
                        .connectionLostAction = [](Display*) {
                            if (connectionLostAction) connectionLostAction();
                        },
                        .reportOtherErrorsAs = "tamaruka"},
                       glxErrorBase);
}

XConnection::~XConnection() { XCloseDisplay(display_); }

bool XConnection::drawableLost() { return xDrawableLost(); }

void XConnection::setConnectionLostAction(std::function<void()> action) {
    connectionLostAction = std::move(action);
}

}  // namespace tamaruka
