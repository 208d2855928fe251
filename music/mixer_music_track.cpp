#include "music/mixer_music_track.h"

#include <SDL_mixer.h>

#include "music/mci_error.h"
#include "music/music_file.h"

namespace tamaruka {

namespace {
// The track that holds SDL2_mixer's one music stream; window thread only.
MixerMusicTrack* musicOwner = nullptr;
}  // namespace

std::unique_ptr<MixerMusicTrack> MixerMusicTrack::load(const std::string& path, std::int32_t& error) {
    long long size = 0;
    SDL_RWops* file = openMusicFile(path, size);
    if (file == nullptr) {
        error = mci_error::kFileNotFound;
        return nullptr;
    }
    std::shared_ptr<AudioSession> audio = openAudioSession();
    if (!audio) {
        SDL_RWclose(file);
        error = mci_error::kWaveOutputsUnsuitable;
        return nullptr;
    }
    // The stream keeps the file open while it plays and closes it when freed.
    Mix_Music* music = Mix_LoadMUS_RW(file, 1);
    if (music == nullptr) {
        error = mci_error::kInvalidFile;
        return nullptr;
    }
    return std::unique_ptr<MixerMusicTrack>(new MixerMusicTrack(std::move(audio), music));
}

MixerMusicTrack::MixerMusicTrack(std::shared_ptr<AudioSession> audio, Mix_Music* music)
    : audio_(std::move(audio)), music_(music) {}

MixerMusicTrack::~MixerMusicTrack() {
    stop();
    Mix_FreeMusic(music_);
}

bool MixerMusicTrack::play(double fromSeconds) {
    stop();
    if (musicOwner) musicOwner->stop();
    if (Mix_FadeInMusicPos(music_, 0, 0, fromSeconds) != 0) return false;
    musicOwner = this;
    return true;
}

void MixerMusicTrack::stop() {
    if (musicOwner != this) return;
    Mix_HaltMusic();
    musicOwner = nullptr;
}

bool MixerMusicTrack::playing() { return musicOwner == this && Mix_PlayingMusic() != 0; }

double MixerMusicTrack::positionSeconds() {
    const double position = Mix_GetMusicPosition(music_);
    return position < 0.0 ? 0.0 : position;
}

double MixerMusicTrack::lengthSeconds() { return Mix_MusicDuration(music_); }

}  // namespace tamaruka
