#pragma once
#include <cstdint>

namespace tamaruka {

// Flags of playSound, with the values of the system's sound player.
inline constexpr std::uint32_t kSoundAsync = 0x0001;
inline constexpr std::uint32_t kSoundLoop = 0x0008;

// Waveform sound: the number of output devices and the system sound player.
class WaveSound {
public:
    virtual ~WaveSound() = default;

    // Number of waveform output devices; 0 when audio cannot start.
    virtual std::uint32_t outputDeviceCount() = 0;

    // Plays the sound named by soundName (a file path) with the given flags;
    // a null name stops whatever plays. Never blocks: with kSoundAsync the
    // sound loads and plays in the background.
    virtual bool playSound(const char* soundName, std::uint32_t flags) = 0;
};

}  // namespace tamaruka
