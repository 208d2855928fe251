#include "frontend/mode_windows.h"

namespace tamaruka {
// Placeholder: the run window is not built yet.
void createRunWindow(FrontEndState&) {}
}  // namespace tamaruka
