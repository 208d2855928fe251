#include "renderer/desktop_mode_rescue.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>

#include "common/mode_refresh.h"
#include "common/x_error_guard.h"

namespace tamaruka {

namespace {

struct DesktopMode {
    bool switched = false;
    int width = 0, height = 0, refreshHz = 0;
};
DesktopMode desktopMode;

double refreshOf(const XRRModeInfo& mode) {
    return modeRefreshHz(mode.dotClock, mode.hTotal, mode.vTotal, mode.modeFlags & RR_DoubleScan,
                         mode.modeFlags & RR_Interlace);
}

// The output the renderer's display stands for: the primary one, else the
// first with a CRTC.
RROutput mainOutput(Display* display, Window root, XRRScreenResources* resources) {
    if (RROutput primary = XRRGetOutputPrimary(display, root)) return primary;
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        const bool lit = info && info->crtc;
        if (info) XRRFreeOutputInfo(info);
        if (lit) return resources->outputs[i];
    }
    return 0;
}

// Puts the desktop's mode back on the main output's CRTC: of the output's
// modes of the desktop's size, the one closest to its refresh rate.
void restoreDesktopMode(Display* display) {
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) return;
    const RROutput output = mainOutput(display, root, resources);
    XRROutputInfo* outputInfo = output ? XRRGetOutputInfo(display, resources, output) : nullptr;
    XRRCrtcInfo* crtc = outputInfo && outputInfo->crtc
                            ? XRRGetCrtcInfo(display, resources, outputInfo->crtc)
                            : nullptr;
    RRMode best = 0;
    double bestDistance = 0;
    for (int i = 0; crtc && i < resources->nmode; ++i) {
        const XRRModeInfo& mode = resources->modes[i];
        if (static_cast<int>(mode.width) != desktopMode.width ||
            static_cast<int>(mode.height) != desktopMode.height) {
            continue;
        }
        bool offered = false;
        for (int m = 0; m < outputInfo->nmode; ++m) offered |= outputInfo->modes[m] == mode.id;
        const double distance = std::fabs(refreshOf(mode) - desktopMode.refreshHz);
        if (offered && (!best || distance < bestDistance)) {
            best = mode.id;
            bestDistance = distance;
        }
    }
    if (best && best != crtc->mode) {
        // The screen takes the desktop's size again first (SDL shrank it to
        // the mode); the CRTC must fit inside it.
        const int screen = DefaultScreen(display);
        const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
        if (width != desktopMode.width || height != desktopMode.height) {
            auto millimetres = [](int pixels, int oldMm, int oldPixels) {
                return oldMm > 0 && oldPixels > 0 ? oldMm * pixels / oldPixels
                                                  : static_cast<int>(pixels * 25.4 / 96);
            };
            XRRSetScreenSize(display, root, desktopMode.width, desktopMode.height,
                             millimetres(desktopMode.width, DisplayWidthMM(display, screen), width),
                             millimetres(desktopMode.height, DisplayHeightMM(display, screen), height));
        }
        XRRSetCrtcConfig(display, resources, outputInfo->crtc, CurrentTime, crtc->x, crtc->y, best,
                         crtc->rotation, crtc->outputs, crtc->noutput);
        XSync(display, False);
    }
    if (crtc) XRRFreeCrtcInfo(crtc);
    if (outputInfo) XRRFreeOutputInfo(outputInfo);
    XRRFreeScreenResources(resources);
}

void putDesktopModeBack(Display* lost) {
    if (!desktopMode.switched) return;
    // The server keeps a mode after its client has gone.
    if (Display* fresh = XOpenDisplay(DisplayString(lost))) {
        restoreDesktopMode(fresh);
        XCloseDisplay(fresh);
    }
}

}  // namespace

void installRendererXErrorGuard() {
    // Ends with 0, as a destroyed window does.
    installXErrorGuard({.connectionLostLine = "Tamaruka.data: the connection to the X server was lost",
                        .connectionLostExitCode = 0,
                        .connectionLostAction = putDesktopModeBack});
}

void rememberDesktopMode(int width, int height, int refreshHz) {
    desktopMode = DesktopMode{true, width, height, refreshHz};
}

void forgetDesktopMode() { desktopMode.switched = false; }

}  // namespace tamaruka
