#include <csignal>

#include "frontend/mode_windows.h"
#include "frontend/toolkit/program_services.h"
#include "frontend/ui/settings_dialog.h"

namespace tamaruka {

void showSettingsDialog(FrontEndState& state)
{
    // The dialog writes the settings file and the file chooser its state: a
    // file-size limit (ulimit -f) must fail such a write (EFBIG), not end
    // the program with SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    ensureApplication();
    // Modal, without an owner; the form deletes itself once unloaded.
    auto* dialog = new SettingsDialog(state);
    dialog->load();
    dialog->showModal();
}

}  // namespace tamaruka
