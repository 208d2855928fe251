#include "music/mixer_wave_sound.h"

#include <SDL_mixer.h>

#include <string>
#include <thread>

#include "music/music_file.h"

namespace tamaruka {

// One played sound, shared by its loader thread and the player; whoever holds
// it last frees the sample data, before the audio share it keeps.
struct MixerWaveSound::Sound {
    std::shared_ptr<AudioSession> audio;
    std::string path;
    int loops = 0;
    std::mutex mutex;
    bool stopped = false;
    Mix_Music* stream = nullptr;  // read from the disk as it plays
    Mix_Chunk* chunk = nullptr;   // loaded whole

    void release() {
        if (stream) Mix_FreeMusic(stream);  // also halts it
        if (chunk) Mix_FreeChunk(chunk);    // also halts its channel
        stream = nullptr;
        chunk = nullptr;
    }
    ~Sound() { release(); }
};

// A loader still at work finishes on its own and frees what it loaded: a file
// on a dead network mount may keep it in open() for good, and nobody waits.
MixerWaveSound::~MixerWaveSound() { stopSound(); }

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
    // Opening may take a while on a slow disk, or for ever on a dead mount;
    // neither the caller nor the program's end waits for it.
    std::thread([sound] {
        // Streamed, so that memory does not grow with the file; only a small
        // file in a form the streamer does not read is loaded whole.
        long long size = 0;
        SDL_RWops* file = openMusicFile(sound->path, size);
        Mix_Music* stream = file ? Mix_LoadMUSType_RW(file, MUS_WAV, 1) : nullptr;
        Mix_Chunk* chunk = nullptr;
        if (file && stream == nullptr && size <= kLoadedWholeAtMost)
            if (SDL_RWops* again = openMusicFile(sound->path, size)) chunk = Mix_LoadWAV_RW(again, 1);
        std::lock_guard lock(sound->mutex);
        sound->stream = stream;
        sound->chunk = chunk;
        if ((stream == nullptr && chunk == nullptr) || sound->stopped) {
            sound->release();
            return;
        }
        if (stream) Mix_PlayMusic(stream, sound->loops);
        else Mix_PlayChannel(-1, chunk, sound->loops);
    }).detach();
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
