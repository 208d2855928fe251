#include "frontend/mode_windows.h"
#include "frontend/toolkit/program_services.h"
#include "frontend/ui/settings_dialog.h"

namespace tamaruka {

void showSettingsDialog(FrontEndState& state)
{
    ensureApplication();
    // Modal, without an owner; the form deletes itself once unloaded.
    auto* dialog = new SettingsDialog(state);
    dialog->load();
    dialog->showModal();
}

}  // namespace tamaruka
