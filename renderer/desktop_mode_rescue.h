#pragma once

namespace tamaruka {

// Replaces SDL's X error handlers once its connection is open. SDL's own
// handler calls back into Xlib from inside the error report, which hangs the
// program for good when another client destroys the window under it.
// - A protocol error (a request on a window that is gone) is ignored: the
//   window's destruction reaches the message loop as its own notification.
// - A lost connection (the server closed it, or another client killed it):
//   the desktop's display mode is put back through a new one when the
//   renderer had switched it, and the program ends with 0 at once, as a
//   destroyed window does.
void installRendererXErrorGuard();

// The desktop's mode to put back should the connection be lost while the
// renderer's own mode is on the display; forgotten once it is back.
void rememberDesktopMode(int width, int height, int refreshHz);
void forgetDesktopMode();

}  // namespace tamaruka
