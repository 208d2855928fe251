#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tamaruka {

// Sound that is added to the mixer's output as it is made, at the output's
// fixed format: 44.1 kHz, signed 16-bit, two interleaved channels. Called on
// the audio thread.
class PcmMixSource {
public:
    virtual ~PcmMixSource() = default;
    virtual void mixInto(std::int16_t* samples, std::size_t frames) = 0;
};

inline constexpr int kAudioOutputRate = 44100;

// The process's audio output (SDL2 audio with SDL2_mixer on it). It starts
// when the first session is opened and closes when the last one ends, so audio
// runs only while music is in use.
class AudioSession {
public:
    ~AudioSession();
    AudioSession(const AudioSession&) = delete;
    AudioSession& operator=(const AudioSession&) = delete;

    void addSource(PcmMixSource* source);
    void removeSource(PcmMixSource* source);

private:
    friend std::shared_ptr<AudioSession> openAudioSession();
    AudioSession() = default;
};

// A share of the audio output; null when audio cannot start.
std::shared_ptr<AudioSession> openAudioSession();

// The number of audio output devices SDL lists (at least 1 when the output
// can be opened although the driver lists none); the session must be open.
std::uint32_t listedAudioOutputDevices();

}  // namespace tamaruka
