#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamaruka {

struct FrontEndState;

// What the boxes of the dialog say: the settings file could not be written
// (where, and why), a chosen music file was not taken (which, and why).
std::string settingsNotSavedMessage(const std::string& settingsFile, const std::string& reason);
std::string musicFileRefusedMessage(const std::string& path, const std::string& reason);

// What the music section of the settings dialog shows.
struct MusicSectionLook {
    std::array<bool, 3> markerSelected{};  // Img_BGM(kind) shows the selected marker
    bool fileButtonEnabled = false;        // Cmd_BGM ("...")
    bool repeatEnabled = false;            // BGM_Repeat, the track box
    std::string repeatText;                // the track box's text
    std::vector<std::string> repeatList;   // its list: "", "1" .. "30"
    std::string fileLabel;                 // lbl_Fname
};

struct ScreenPoint {
    int x = 0, y = 0;
};

// Top-left corner of the dialog: centred across, one third of the free height
// down. Each difference is rounded to a whole number, then the division
// truncates towards zero (a dialog larger than the screen gets a negative place).
ScreenPoint dialogPlacement(double screenWidth, double screenHeight, double windowWidth,
                            double windowHeight);

// The choices of the settings dialog Kirabo_P, free of any toolkit: it edits
// the music settings of the front-end state and writes them on confirmation.
// Every step runs under the error rule (a failing step is skipped).
class SettingsDialogLogic {
public:
    // Longest path, in code page 932 bytes, that fits the chooser's
    // 255-character buffer with its terminating NUL.
    static constexpr std::size_t longestFilePath = 254;

    // settingsFile: the file OK writes, the user's own (userSettingsFilePath());
    // empty when the user has no home folder.
    SettingsDialogLogic(FrontEndState& state, std::string settingsFile)
        : state_(state), settingsFile_(std::move(settingsFile)) {}

    // The load steps that concern the music section, in order: both inputs
    // disabled, the marker of the stored kind, the input of that kind enabled,
    // the track text and list, the file label.
    void load();

    // The pointer position at load (nullopt when it cannot be read, which
    // gives the screen's corner): where the zooms start and end.
    void notePointer(std::optional<ScreenPoint> pointer);

    // SelectMusicKind: mouse down on a marker or its label. Neither the file
    // nor the track is cleared.
    void selectMusicKind(int kind);

    // The file chooser's answer; nullopt when it was cancelled. A path that
    // code page 932 cannot hold, or that is longer than longestFilePath bytes
    // in it, does not fit the chooser's buffer and is not taken; nor is one
    // with a line break, which the settings file cannot hold, nor an MP3 path
    // with a double quotation mark, which ends the quoted path in the music
    // layer's open command early. Returns whether the file was taken; when
    // a chosen file is not, refusal() says why for the user.
    bool takeChosenFile(const std::optional<std::string>& path);
    const std::string& refusal() const { return refusal_; }

    // OK: makes the settings file's folder when it is missing, then writes the
    // kind (" 1"), the track read from the box's text and the file path
    // unchanged, all three in one rewrite of the file (all saved, or none). A text that is not a number gives track 0; a number is
    // rounded half to even. A number beyond 16 bits (99999) cannot be
    // converted: that step fails, so the track keeps the value it had and that
    // value is written, never a wrapped or cut one. Returns the text for the
    // user when the settings could not be saved (with the file's path and the
    // reason), nullopt when they were.
    std::optional<std::string> confirm(std::string_view repeatText);

    const MusicSectionLook& look() const { return look_; }

private:
    void showKind(int kind);

    FrontEndState& state_;
    std::string settingsFile_;
    MusicSectionLook look_;
    std::string refusal_;
};

}  // namespace tamaruka
