#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "settings/music_settings.h"
#include "music/background_music.h"
#include "music/mci_command_layer.h"
#include "music/wave_sound.h"

namespace tamaruka {

// The background music of the saver run: opening, watching and stopping an
// audio CD, an MP3 file or a looped WAV file. The run window calls these from
// its load handler, its two music timers and its close. None of them throws,
// blocks or shows anything; a failure only means silence.
class MusicPlayback : public MusicOperations {
public:
    // The settings are copied: they never change under a running saver.
    MusicPlayback(const MusicSettings& settings, MciCommandLayer& mci, WaveSound& wave);
    MusicPlayback(const MusicPlayback&) = delete;
    MusicPlayback& operator=(const MusicPlayback&) = delete;

    void CdOpen() override;
    // One tick of the CD watch (every 200 ms); afterwards CdWatching() tells
    // whether the watch goes on.
    void CdWatch() override;
    bool CdWatching() override { return cdWatching_; }
    void CdClose() override;

    void Mp3Open() override;
    bool Mp3IsPlaying();
    // One tick of the MP3 repeat check (every 1000 ms).
    void Mp3Loop() override;
    void Mp3Close() override;

    void WavPlay() override;
    void WavStop() override;

private:
    void cdWatchTick();

    MusicSettings settings_;
    MciCommandLayer& mci_;
    WaveSound& wave_;
    bool cdWatching_ = false;
    // Never cleared between ticks; MCI is given one byte less than their size
    // for the CD (255) and the full size for the MP3 (30).
    char cdModeText_[256] = {};
    char mp3ModeText_[30] = {};
};

// The file type of BgmFile: its last three characters, upper-cased ("WAV",
// "MP3", anything else plays nothing). No dot is required.
std::string bgmFileType(const std::string& bgmFile);

// The real playback: our MCI interpreter on libcdio and SDL2_mixer, and SDL2_mixer
// for waveform sound. Audio starts only when music is first used.
std::unique_ptr<MusicPlayback> makeMusicPlayback(const MusicSettings& settings);

}  // namespace tamaruka
