#include "tests/support/test_support.h"

#include <cstdlib>

namespace tamaruka::test {

namespace {
XvfbDisplay* sharedDisplay = nullptr;
std::string sharedName;
}  // namespace

void XvfbEnvironment::SetUp() {
    sharedDisplay = new XvfbDisplay;
    sharedName = sharedDisplay->name();
    setenv("DISPLAY", sharedName.c_str(), 1);
    // The programs under test must not reach the developer's session.
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

void XvfbEnvironment::TearDown() {
    delete sharedDisplay;
    sharedDisplay = nullptr;
}

const std::string& XvfbEnvironment::displayName() { return sharedName; }

}  // namespace tamaruka::test
