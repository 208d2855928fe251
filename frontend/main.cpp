// Tamaruka.scr: the screen saver's front-end.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QWindow>

#include "common/program_folder.h"
#include "common/session_bus_autolaunch.h"
#include "frontend/frontend_state.h"
#include "frontend/mode_windows.h"
#include "frontend/platform/x11_display.h"
#include "frontend/platform/x11_instance_claim.h"
#include "frontend/platform/x11_pointer.h"
#include "frontend/platform/x11_window_lookup.h"
#include "frontend/run/termination_signals.h"
#include "settings/settings_store.h"
#include "frontend/startup.h"
#include "frontend/toolkit/program_services.h"

namespace tamaruka {
namespace {

// The toolkit, from the first window or box on; caught signals are acted on
// in its event loops from then.
void startToolkit()
{
    ensureApplication();
    actOnTerminationSignals();
}

// Main's platform on the X server and Qt.
class DesktopStartupPlatform : public StartupPlatform {
public:
    bool topLevelWindowExists(std::string_view caption) override
    {
        return x11::findTopLevelWindow(caption).has_value();
    }
    bool claimInstance() override { return x11::claimInstance(); }
    void loadSettings(FrontEndState& state) override { LoadSettings(state.settings, state.programFolder); }
    bool fileExists(const std::string& path) override { return FileExists(path); }
    void messageBox(const std::string& text) override
    {
        startToolkit();
        tamaruka::messageBox(text);
    }
    int showCursor(bool show) override { return tamaruka::showCursor(show); }
    void openPreviewWindow(FrontEndState& state, std::int32_t hostHandle) override
    {
        startToolkit();
        tamaruka::openPreviewWindow(state, hostHandle);
    }
    void showSettingsDialog(FrontEndState& state) override
    {
        startToolkit();
        tamaruka::showSettingsDialog(state);
    }
    void createRunWindow(FrontEndState& state) override
    {
        startToolkit();
        tamaruka::createRunWindow(state);
    }
};

// A mode whose window could not be opened leaves nothing to wait for.
bool anyWindowOpen()
{
    return QCoreApplication::instance() &&
           (!QApplication::topLevelWidgets().isEmpty() || !QGuiApplication::allWindows().isEmpty());
}

}  // namespace
}  // namespace tamaruka

int main(int argc, char** argv)
{
    using namespace tamaruka;
    // Before anything else: a host may stop the program at any moment of its
    // start-up. Until a window has its own end, a signal ends the program at once.
    catchTerminationSignals([] { immediateEnd(0); });
    // Beyond a file-size limit a write fails (EFBIG) like any other failed
    // write, instead of killing the program halfway through a file.
    std::signal(SIGXFSZ, SIG_IGN);
    // The toolkit runs on X11 only, whatever the desktop session prefers.
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // Qt's desktop services and the renderer's SDL connect to the session
    // bus; without one, neither may launch a bus that outlives the run.
    preventSessionBusAutolaunch();

    std::string reason;
    if (!x11::openDisplay(reason)) {
        std::fprintf(stderr, "Tamaruka.scr: %s; the screen saver needs an X display.\n",
                     reason.c_str());
        return 1;
    }
    setCommandLine(argc, argv);

    FrontEndState& state = frontEndState();
    state.argumentText = argumentText(argc, argv);
    state.programFolder = programFolder();

    DesktopStartupPlatform platform;
    if (runMain(state, platform) == MainOutcome::EndProgram || !anyWindowOpen()) immediateEnd(0);
    startToolkit();
    immediateEnd(runEventLoop());
}
