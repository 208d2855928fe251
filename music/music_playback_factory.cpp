#include "music/mci_interpreter.h"
#include "music/mci_real_devices.h"
#include "music/mixer_wave_sound.h"
#include "music/music_playback.h"

namespace tamaruka {

namespace {

struct RealMusicServices {
    RealMciDevices devices;
    MciInterpreter interpreter{devices};
    MciCommandLayer layer{interpreter};
    MixerWaveSound wave;
};

// Built before the playback that refers to them, destroyed after it.
struct RealMusicServicesHolder {
    std::unique_ptr<RealMusicServices> services = std::make_unique<RealMusicServices>();
};

class RealMusicPlayback : private RealMusicServicesHolder, public MusicPlayback {
public:
    explicit RealMusicPlayback(const MusicSettings& settings)
        : MusicPlayback(settings, services->layer, services->wave) {}
};

}  // namespace

std::unique_ptr<MusicPlayback> makeMusicPlayback(const MusicSettings& settings) {
    return std::make_unique<RealMusicPlayback>(settings);
}

}  // namespace tamaruka
