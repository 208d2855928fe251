#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "music/audio_output.h"
#include "music/music_track.h"

struct _Mix_Music;

namespace tamaruka {

// A music file played through SDL2_mixer's music stream (MP3, WAV, Ogg, ...).
// SDL2_mixer plays one music at a time: playing one stops another.
class MixerMusicTrack : public MusicTrack {
public:
    // Null with error set to an MCI error value when the file is missing, is
    // not music SDL2_mixer can decode, or audio cannot start.
    static std::unique_ptr<MixerMusicTrack> load(const std::string& path, std::int32_t& error);
    ~MixerMusicTrack() override;

    bool play(double fromSeconds) override;
    void stop() override;
    bool playing() override;
    double positionSeconds() override;
    double lengthSeconds() override;

private:
    MixerMusicTrack(std::shared_ptr<AudioSession> audio, _Mix_Music* music);

    std::shared_ptr<AudioSession> audio_;  // outlives the music
    _Mix_Music* music_;
};

}  // namespace tamaruka
