#include "frontend/mode_windows.h"

namespace tamaruka {
// Placeholder: the preview window is not built yet.
void openPreviewWindow(FrontEndState&, std::int32_t) {}
}  // namespace tamaruka
