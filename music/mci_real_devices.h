#pragma once
#include "music/mci_device.h"

namespace tamaruka {

// The interpreter's devices on the real libraries: "cdaudio" on libcdio and
// the audio output, "MPEGVideo" on SDL2_mixer.
class RealMciDevices : public MciDeviceFactory {
public:
    std::unique_ptr<MciDevice> openCdAudio(const std::string& drive, std::int32_t& error) override;
    std::unique_ptr<MciDevice> openMpegVideo(const std::string& file, std::int32_t& error) override;
};

}  // namespace tamaruka
