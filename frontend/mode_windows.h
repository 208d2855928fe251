#pragma once
#include <cstdint>

namespace tamaruka {

struct FrontEndState;

// The three windows that Main opens. Each is provided by its own folder:
// run/ (Kirabo_S), preview/ (Kirabo_R), ui/ (Kirabo_P).

// Creates the hidden run window "Kirabo_Main" and runs its load handler.
// Returns; the program then lives in the window's timers.
void createRunWindow(FrontEndState& state);

// Embeds the preview window in the host X11 window and shows it. Returns; the
// program lives until the host goes away.
void openPreviewWindow(FrontEndState& state, std::int32_t hostHandle);

// Shows the settings dialog modally; returns when it has closed.
void showSettingsDialog(FrontEndState& state);

}  // namespace tamaruka
