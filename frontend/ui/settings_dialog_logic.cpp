#include "frontend/ui/settings_dialog_logic.h"

#include <cmath>

#include "settings/code_page_932.h"
#include "frontend/frontend_state.h"
#include "settings/number_rules.h"
#include "settings/settings_store.h"
#include "common/error_rule.h"

namespace tamaruka {
namespace {

constexpr int listedTracks = 30;

long long wholeNumber(double value) { return static_cast<long long>(std::nearbyint(value)); }

}  // namespace

ScreenPoint dialogPlacement(double screenWidth, double screenHeight, double windowWidth,
                            double windowHeight)
{
    return {static_cast<int>(wholeNumber(screenWidth - windowWidth) / 2),
            static_cast<int>(wholeNumber(screenHeight - windowHeight) / 3)};
}

void SettingsDialogLogic::showKind(int kind)
{
    look_.fileButtonEnabled = false;
    look_.repeatEnabled = false;
    runStep([&] {
        look_.markerSelected = {};
        // A kind the dialog has no marker for (a stored 5) marks nothing.
        if (kind < 0 || kind >= static_cast<int>(look_.markerSelected.size()))
            throw StepError("no marker for this music kind");
        look_.markerSelected[kind] = true;
    });
    if (kind == 1)
        look_.repeatEnabled = true;
    if (kind == 2)
        look_.fileButtonEnabled = true;
}

void SettingsDialogLogic::load()
{
    showKind(state_.settings.bgmKind);
    runStep([&] { look_.repeatText = formatHashHash(state_.settings.bgmRepeat); });
    runStep([&] {
        look_.repeatList.clear();
        for (int track = 0; track <= listedTracks; ++track)
            look_.repeatList.push_back(formatHashHash(track));
    });
    runStep([&] { look_.fileLabel = state_.settings.bgmFile; });
}

void SettingsDialogLogic::notePointer(std::optional<ScreenPoint> pointer)
{
    runStep([&] {
        std::int16_t x = 0, y = 0;
        if (pointer) {
            const auto px = roundHalfEvenToInt16(pointer->x);
            const auto py = roundHalfEvenToInt16(pointer->y);
            if (px && py) {
                x = *px;
                y = *py;
            }
        }
        state_.startCursorX = x;
        state_.startCursorY = y;
    });
}

void SettingsDialogLogic::selectMusicKind(int kind)
{
    runStep([&] {
        const auto k = roundHalfEvenToInt16(kind);
        if (!k)
            throw StepError("music kind out of range");
        state_.settings.bgmKind = *k;
    });
    showKind(kind);
}

bool SettingsDialogLogic::takeChosenFile(const std::optional<std::string>& path)
{
    // A Linux file name may hold a line break; written on OK it would be
    // refused, leaving a file shown here that was never saved.
    if (!path || path->empty() || path->find_first_of("\r\n") != std::string::npos)
        return false;
    const std::optional<std::string> bytes = utf8ToCp932(*path);
    if (!bytes || bytes->size() > longestFilePath)
        return false;
    state_.settings.bgmFile = *path;
    look_.fileLabel = *path;
    return true;
}

void SettingsDialogLogic::confirm(std::string_view repeatText)
{
    const std::string file = settingsFilePath(state_.programFolder);
    runStep([&] { WriteIni(settingsSection, bgmKindKey, formatSignBlank(state_.settings.bgmKind), file); });
    runStep([&] {
        std::int16_t track = 0;
        if (const std::optional<double> value = numericValue(repeatText)) {
            const std::optional<std::int16_t> rounded = roundHalfEvenToInt16(*value);
            if (!rounded)
                throw StepError("track number does not fit 16 bits");
            track = *rounded;
        }
        state_.settings.bgmRepeat = track;
    });
    runStep([&] { WriteIni(settingsSection, bgmRepeatKey, formatSignBlank(state_.settings.bgmRepeat), file); });
    runStep([&] { WriteIni(settingsSection, bgmFileKey, state_.settings.bgmFile, file); });
}

}  // namespace tamaruka
