#include "frontend/ui/settings_dialog_logic.h"

#include <cmath>
#include <filesystem>

#include "common/atomic_file.h"
#include "settings/code_page_932.h"
#include "frontend/frontend_state.h"
#include "music/music_playback.h"
#include "settings/number_rules.h"
#include "settings/settings_store.h"
#include "common/error_rule.h"

namespace tamaruka {
namespace {

constexpr int listedTracks = 30;

long long wholeNumber(double value) { return static_cast<long long>(std::nearbyint(value)); }

// Why a chosen music file is not taken, or "" when it can be.
std::string whyNotTaken(const std::string& path, std::size_t longest)
{
    if (path.find_first_of("\r\n") != std::string::npos)
        return "ﾌｧｲﾙ名に改行があります。";
    const std::optional<std::string> bytes = utf8ToCp932(path);
    if (!bytes)
        return "ﾌｧｲﾙ名に設定ﾌｧｲﾙ (Shift_JIS) で表せない文字があります。";
    if (bytes->size() > longest)
        return "ﾊﾟｽが長すぎます (Shift_JISで" + std::to_string(longest) + "ﾊﾞｲﾄまで)。";
    if (bgmFileType(path) == "MP3" && path.find('"') != std::string::npos)
        return "MP3ﾌｧｲﾙのﾊﾟｽに \" があると再生できません。";
    return {};
}

}  // namespace

std::string settingsNotSavedMessage(const std::string& settingsFile, const std::string& reason)
{
    return "設定を保存できませんでした：\n" + settingsFile + "\n" + reason;
}

std::string musicFileRefusedMessage(const std::string& path, const std::string& reason)
{
    return "このﾌｧｲﾙはBGMにできません：\n" + path + "\n" + reason;
}

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
    refusal_.clear();
    if (!path || path->empty())
        return false;
    // A Linux file name may hold what the settings file or the music layer
    // cannot: taken anyway, it would be refused on OK or play nothing.
    if (const std::string why = whyNotTaken(*path, longestFilePath); !why.empty()) {
        refusal_ = musicFileRefusedMessage(*path, why);
        return false;
    }
    state_.settings.bgmFile = *path;
    look_.fileLabel = *path;
    return true;
}

std::optional<std::string> SettingsDialogLogic::confirm(std::string_view repeatText)
{
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
    if (settingsFile_.empty())
        return settingsNotSavedMessage("~/.config/tamaruka/Tamaruka.ini", "ﾎｰﾑﾌｫﾙﾀﾞが見つかりません。");
    // The three keys in one rewrite: all of them are saved, or none is.
    std::error_code failure = makeMissingFolders(std::filesystem::path(settingsFile_).parent_path().string());
    if (!failure) {
        runStep([&] {
            const std::vector<IniKey> keys = {{bgmKindKey, formatSignBlank(state_.settings.bgmKind)},
                                              {bgmRepeatKey, formatSignBlank(state_.settings.bgmRepeat)},
                                              {bgmFileKey, state_.settings.bgmFile}};
            if (!WriteIniKeys(settingsSection, keys, settingsFile_, &failure) && !failure)
                failure = std::make_error_code(std::errc::io_error);
        });
    }
    if (failure)
        return settingsNotSavedMessage(settingsFile_, failure.message());
    return std::nullopt;
}

}  // namespace tamaruka
