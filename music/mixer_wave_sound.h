#pragma once
#include <memory>
#include <mutex>

#include "music/audio_output.h"
#include "music/wave_sound.h"

namespace tamaruka {

// Waveform sound on SDL2_mixer: the file is opened on a thread of its own (when
// it is a regular file) and
// played, looped with kSoundLoop, until the next call. It streams from the
// disk through the mixer's one music stream, so a long file costs no more
// memory than a short one; the music stream is free because the music is
// either a WAV or an MP3 file, never both. A small file in a form the
// streamer cannot read (ADPCM, say) is loaded whole onto a mixer channel.
class MixerWaveSound : public WaveSound {
public:
    static constexpr long long kLoadedWholeAtMost = 16 * 1024 * 1024;  // bytes

    MixerWaveSound() = default;
    ~MixerWaveSound() override;

    std::uint32_t outputDeviceCount() override;
    bool playSound(const char* soundName, std::uint32_t flags) override;

private:
    struct Sound;
    void stopSound();

    std::shared_ptr<AudioSession> audio_;  // kept from the device count to the play
    std::shared_ptr<Sound> sound_;
};

}  // namespace tamaruka
