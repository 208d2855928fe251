#include "music/mci_real_devices.h"

#include "music/cd_audio_device.h"
#include "music/cdio_drive.h"
#include "music/mci_error.h"
#include "music/mixer_music_track.h"
#include "music/mpeg_video_device.h"

namespace tamaruka {

std::unique_ptr<MciDevice> RealMciDevices::openCdAudio(const std::string& drive, std::int32_t& error) {
    const std::string source = cdAudioSource(drive);
    if (source.empty()) {
        error = mci_error::kDeviceNotInstalled;
        return nullptr;
    }
    // A drive without a disc opens; its queries then answer "not ready".
    return std::make_unique<CdAudioDevice>(std::make_unique<CdioDrive>(source));
}

std::unique_ptr<MciDevice> RealMciDevices::openMpegVideo(const std::string& file, std::int32_t& error) {
    auto track = MixerMusicTrack::load(file, error);
    if (!track) return nullptr;
    return std::make_unique<MpegVideoDevice>(std::move(track));
}

}  // namespace tamaruka
