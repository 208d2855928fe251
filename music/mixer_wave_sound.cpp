#include "music/mixer_wave_sound.h"

#include <SDL_mixer.h>

#include <string>

namespace tamaruka {

// One played sound, shared by its loader thread and the player; whoever holds
// it last frees the sample data, before the audio share it keeps.
struct MixerWaveSound::Sound {
    std::shared_ptr<AudioSession> audio;
    std::string path;
    int loops = 0;
    std::mutex mutex;
    bool stopped = false;
    Mix_Chunk* chunk = nullptr;

    void release() {
        if (chunk) Mix_FreeChunk(chunk);  // also halts its channel
        chunk = nullptr;
    }
    ~Sound() { release(); }
};

MixerWaveSound::~MixerWaveSound() {
    stopSound();
    for (std::thread& loader : loaders_) loader.join();
}

std::uint32_t MixerWaveSound::outputDeviceCount() {
    if (!audio_) audio_ = openAudioSession();
    return audio_ ? listedAudioOutputDevices() : 0;
}

bool MixerWaveSound::playSound(const char* soundName, std::uint32_t flags) {
    stopSound();
    if (soundName == nullptr || *soundName == '\0') {
        audio_.reset();
        return true;
    }
    if (!audio_) audio_ = openAudioSession();
    if (!audio_) return false;

    auto sound = std::make_shared<Sound>();
    sound->audio = audio_;
    sound->path = soundName;
    sound->loops = (flags & kSoundLoop) ? -1 : 0;
    sound_ = sound;
    // Loading may take a while for a long file; the caller never waits for it.
    loaders_.emplace_back([sound] {
        Mix_Chunk* chunk = Mix_LoadWAV(sound->path.c_str());
        std::lock_guard lock(sound->mutex);
        sound->chunk = chunk;
        if (chunk == nullptr || sound->stopped) {
            sound->release();
            return;
        }
        Mix_PlayChannel(-1, chunk, sound->loops);
    });
    return true;
}

void MixerWaveSound::stopSound() {
    if (!sound_) return;
    {
        std::lock_guard lock(sound_->mutex);
        sound_->stopped = true;
        sound_->release();
    }
    sound_.reset();
}

}  // namespace tamaruka
