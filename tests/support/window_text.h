#pragma once
// The text of windows as a user copies it, through XTest and the clipboard
// (kept apart so that Xlib's macros stay out of the test files).
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/test_support.h"

namespace tamaruka::test {

// What a user copies out of a window: Ctrl+C pressed through XTest, then the
// CLIPBOARD selection read back as UTF-8.
void pressControlC();
std::optional<std::string> readClipboard(std::chrono::milliseconds timeout);

// The text of a message box as a user copies it: the pointer onto the box
// (focus follows the pointer here), then Ctrl+C until the clipboard answers.
std::optional<std::string> copyWindowText(XClient& x, WindowId window);

// A window manager's frame (a child of the root) holding a named client
// window, directly or through frames nested inside it (frames counts them
// all: 2 puts the client three levels below the root).
struct FramedWindow {
    std::uint32_t frame = 0;  // the outermost
    std::uint32_t client = 0;
};
FramedWindow createFramedWindow(const std::string& caption, int frames = 1);
void destroyFramedWindow(const FramedWindow& window);

}  // namespace tamaruka::test
