#pragma once
#include <memory>

#include "music/mci_device.h"
#include "music/music_track.h"

namespace tamaruka {

// The "MPEGVideo" device playing one music file; its time format is
// milliseconds. Positions end at the file's end: "to" is not supported.
class MpegVideoDevice : public MciDevice {
public:
    explicit MpegVideoDevice(std::unique_ptr<MusicTrack> track);
    ~MpegVideoDevice() override;

    std::int32_t play(const std::optional<std::string>& from, const std::optional<std::string>& to) override;
    std::int32_t stop() override;
    std::int32_t status(const MciStatusQuery& query, std::string& reply) override;
    std::int32_t setTimeFormat(MciTimeFormat format) override;

private:
    std::unique_ptr<MusicTrack> track_;
    double stoppedAt_ = 0.0;  // seconds; where a plain "play" resumes
};

}  // namespace tamaruka
