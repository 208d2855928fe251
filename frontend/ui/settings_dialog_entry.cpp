#include "frontend/mode_windows.h"

namespace tamaruka {
// Placeholder: the settings dialog is not built yet.
void showSettingsDialog(FrontEndState&) {}
}  // namespace tamaruka
