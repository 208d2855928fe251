#pragma once
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "music/audio_output.h"
#include "music/wave_sound.h"

namespace tamaruka {

// Waveform sound on SDL2_mixer: the file is loaded on a thread of its own and
// played on a mixer channel, looped with kSoundLoop, until the next call.
class MixerWaveSound : public WaveSound {
public:
    MixerWaveSound() = default;
    ~MixerWaveSound() override;

    std::uint32_t outputDeviceCount() override;
    bool playSound(const char* soundName, std::uint32_t flags) override;

private:
    struct Sound;
    void stopSound();

    std::shared_ptr<AudioSession> audio_;  // kept from the device count to the play
    std::shared_ptr<Sound> sound_;
    std::vector<std::thread> loaders_;
};

}  // namespace tamaruka
