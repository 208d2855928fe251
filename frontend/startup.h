#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tamaruka {

struct FrontEndState;

// The caption markers of a running saver and of an open settings dialog.
inline constexpr std::string_view runWindowCaption = "Kirabo_Main";
inline constexpr std::string_view settingsDialogCaption = "<Tamaruka>";

// The one failure shown to the user.
inline constexpr std::string_view rendererMissingMessage =
    "Tamaruka.dataが同じﾌｫﾙﾀﾞに見つかりません！";

// The second character of the upper-cased argument text; "" when the text is
// shorter than two characters.
std::string modeLetterOf(std::string_view argumentText);

// What Main needs from the platform; the real one sits on X11 and Qt, the
// tests use a recording fake.
class StartupPlatform {
public:
    virtual ~StartupPlatform() = default;
    virtual bool topLevelWindowExists(std::string_view caption) = 0;
    // Takes the display's single-instance claim for a saver run or a settings
    // dialog; false when another program holds it.
    virtual bool claimInstance() = 0;
    virtual void loadSettings(FrontEndState& state) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    virtual void messageBox(const std::string& text) = 0;
    virtual int showCursor(bool show) = 0;
    virtual void openPreviewWindow(FrontEndState& state, std::int32_t hostHandle) = 0;
    virtual void showSettingsDialog(FrontEndState& state) = 0;
    virtual void createRunWindow(FrontEndState& state) = 0;
};

// How Main finished: the program ends at once, or it lives on in the window
// that Main opened (the event loop runs).
enum class MainOutcome { EndProgram, RunEventLoop };

// Main: the single-instance test, the mode letter, and the dispatch to the
// window that serves the mode. state.argumentText and state.programFolder
// must be set; Main fills modeLetter, the settings and cursorCount.
MainOutcome runMain(FrontEndState& state, StartupPlatform& platform);

}  // namespace tamaruka
