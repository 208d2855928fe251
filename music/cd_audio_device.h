#pragma once
#include <memory>

#include "music/cd_drive.h"
#include "music/mci_device.h"

namespace tamaruka {

// The "cdaudio" device: positions, tracks and modes over a CdDrive. A freshly
// opened device with a disc is stopped at the start of the first track. The
// time format starts as msf, as MCI's.
class CdAudioDevice : public MciDevice {
public:
    explicit CdAudioDevice(std::unique_ptr<CdDrive> drive);
    ~CdAudioDevice() override;

    std::int32_t play(const std::optional<std::string>& from, const std::optional<std::string>& to) override;
    std::int32_t stop() override;
    std::int32_t status(const MciStatusQuery& query, std::string& reply) override;
    std::int32_t setTimeFormat(MciTimeFormat format) override;

private:
    // The table of contents, read again while no disc has been found.
    const CdTableOfContents* disc();
    std::int32_t currentSector(const CdTableOfContents& toc);

    std::unique_ptr<CdDrive> drive_;
    std::optional<CdTableOfContents> toc_;
    MciTimeFormat timeFormat_ = MciTimeFormat::Msf;
};

}  // namespace tamaruka
