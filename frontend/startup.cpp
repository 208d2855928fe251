#include "frontend/startup.h"

#include "common/program_folder.h"
#include "frontend/frontend_state.h"
#include "settings/number_rules.h"
#include "settings/settings_store.h"
#include "common/error_rule.h"

namespace tamaruka {

namespace {

// Index of the UTF-8 character that follows the one starting at i.
std::size_t nextCharacter(std::string_view text, std::size_t i)
{
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    return i;
}

}  // namespace

std::string modeLetterOf(std::string_view argumentText)
{
    const std::size_t second = nextCharacter(argumentText, 0);
    if (second >= argumentText.size()) return {};
    std::string letter(argumentText.substr(second, nextCharacter(argumentText, second) - second));
    // Only ASCII letters matter to the dispatch; other characters stay as they are.
    if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z')
        letter[0] = static_cast<char>(letter[0] - 'a' + 'A');
    return letter;
}

MainOutcome runMain(FrontEndState& state, StartupPlatform& platform)
{
    // 1. Single instance: both captions are always looked up, before the
    //    command line is read, so every mode stays away from a running saver
    //    or an open settings dialog.
    bool saverRunning = false;
    bool dialogOpen = false;
    runStep([&] { saverRunning = platform.topLevelWindowExists(runWindowCaption); });
    runStep([&] { dialogOpen = platform.topLevelWindowExists(settingsDialogCaption); });
    if (saverRunning || dialogOpen) return MainOutcome::EndProgram;

    // 2. The mode letter.
    runStep([&] { state.modeLetter = modeLetterOf(state.argumentText); });

    // 3. Preview: no settings, no renderer.
    if (state.modeLetter == "P") {
        std::int32_t hostHandle = 0;
        runStep([&] { hostHandle = readHostHandle(state.argumentText); });
        runStep([&] { platform.openPreviewWindow(state, hostHandle); });
        return MainOutcome::RunEventLoop;
    }

    // 4. Settings, for every other mode.
    runStep([&] { platform.loadSettings(state); });

    // 5. The renderer must lie beside the program; this is checked before the
    //    configuration test, so it stops every mode.
    bool rendererFound = false;
    runStep([&] { rendererFound = platform.fileExists(rendererFilePath(state.programFolder)); });
    if (!rendererFound) {
        runStep([&] { platform.messageBox(std::string(rendererMissingMessage)); });
        return MainOutcome::EndProgram;
    }

    // The captions are looked up before either window exists, so two
    // programs started together both pass step 1; of those, only the one that
    // holds the claim goes on, for the dialog or the run.
    const auto claimed = [&] {
        bool held = true;
        runStep([&] { held = platform.claimInstance(); });
        return held;
    };

    // 6. Configuration: the dialog runs modally; then the program ends.
    if (state.modeLetter == "C") {
        if (!claimed()) return MainOutcome::EndProgram;
        runStep([&] { platform.showSettingsDialog(state); });
        return MainOutcome::EndProgram;
    }

    // 7. Any other switch (the password request /A among them) ends silently.
    if (!state.argumentText.empty() && state.modeLetter != "S") return MainOutcome::EndProgram;

    if (!claimed()) return MainOutcome::EndProgram;

    // 8. Run mode hides the pointer; the run's end shows it again from this count.
    if (state.modeLetter == "S") runStep([&] { state.cursorCount = platform.showCursor(false); });

    // 9. "S" or no argument text: the saver run.
    runStep([&] { platform.createRunWindow(state); });
    return MainOutcome::RunEventLoop;
}

}  // namespace tamaruka
