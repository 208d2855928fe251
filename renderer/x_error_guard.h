#pragma once

namespace tamaruka {

// Replaces SDL's X error handlers once its connection is open. SDL's own
// handler calls back into Xlib from inside the error report, which hangs the
// program for good when another client destroys the window under it.
// - A protocol error (a request on a window that is gone) is ignored: the
//   window's destruction reaches the message loop as its own notification.
// - A lost connection (the server closed it, or another client killed it)
//   leaves nothing to shut down on that connection: the program says so in
//   one line on stderr and ends with 0 at once, as a destroyed window does.
void installXErrorGuard();

}  // namespace tamaruka
