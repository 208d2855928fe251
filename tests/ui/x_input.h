#pragma once
// X helpers of the settings dialog's end-to-end tests that the shared XClient
// does not offer (kept apart so that Xlib's macros stay out of the tests).
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tamaruka::test {

// Types UTF-8 text through XTest as a user would, any character included:
// a character the keyboard map lacks is put on a spare key first.
void typeText(const std::string& utf8);

// Presses the keys in order and releases them in reverse (Shift+Tab).
void pressChord(const std::vector<unsigned long>& keysyms);

// The window's top-level ancestor: the window manager's frame around it, or
// the window itself when no window manager framed it.
WindowId topLevelAncestor(WindowId window);

// True once a window manager announces itself on the root window.
bool windowManagerRunning();

// Notes every placement of the override-redirect windows (outlines, menus)
// from its creation on.
class OverrideRedirectWatcher {
public:
    OverrideRedirectWatcher();
    ~OverrideRedirectWatcher();
    OverrideRedirectWatcher(const OverrideRedirectWatcher&) = delete;
    OverrideRedirectWatcher& operator=(const OverrideRedirectWatcher&) = delete;

    // Each window that was mapped and unmapped since, with the places it had
    // while mapped, first to last.
    std::vector<std::vector<Rect>> shownAndGone();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tamaruka::test
