#include "music/cd_audio_device.h"

#include <algorithm>

#include "music/cd_time_format.h"
#include "music/mci_error.h"

namespace tamaruka {

CdAudioDevice::CdAudioDevice(std::unique_ptr<CdDrive> drive) : drive_(std::move(drive)) {}

CdAudioDevice::~CdAudioDevice() { drive_->stop(); }

const CdTableOfContents* CdAudioDevice::disc() {
    if (!toc_) {
        toc_ = drive_->tableOfContents();
        if (toc_ && toc_->tracks.empty()) toc_.reset();
    }
    return toc_ ? &*toc_ : nullptr;
}

std::int32_t CdAudioDevice::currentSector(const CdTableOfContents& toc) {
    return std::clamp(drive_->position(), toc.tracks.front().start, toc.leadOut);
}

std::int32_t CdAudioDevice::play(const std::optional<std::string>& from, const std::optional<std::string>& to) {
    const CdTableOfContents* toc = disc();
    if (toc == nullptr) return mci_error::kDeviceNotReady;
    const std::int32_t discStart = toc->tracks.front().start;

    std::int32_t start = currentSector(*toc);
    if (from) {
        if (const std::int32_t code = parseCdPosition(*from, timeFormat_, *toc, start); code != 0) return code;
        if (start < discStart || start >= toc->leadOut) return mci_error::kOutOfRange;
    } else if (start >= toc->leadOut) {
        // A disc that has played to its end starts again from the beginning.
        start = discStart;
    }
    std::int32_t end = toc->leadOut;
    if (to) {
        if (const std::int32_t code = parseCdPosition(*to, timeFormat_, *toc, end); code != 0) return code;
        if (end <= start || end > toc->leadOut) return mci_error::kOutOfRange;
    }
    return drive_->play(start, end);
}

std::int32_t CdAudioDevice::stop() {
    drive_->stop();
    return 0;
}

std::int32_t CdAudioDevice::status(const MciStatusQuery& query, std::string& reply) {
    switch (query.item) {
    case MciStatusItem::Mode:
        if (disc() == nullptr) reply = drive_->trayOpen() ? "open" : "not ready";
        else reply = drive_->playing() ? "playing" : "stopped";
        return 0;
    case MciStatusItem::MediaPresent:
        reply = disc() != nullptr ? "true" : "false";
        return 0;
    case MciStatusItem::Ready:
        reply = disc() != nullptr ? "true" : "false";
        return 0;
    case MciStatusItem::TimeFormat:
        reply = timeFormat_ == MciTimeFormat::Tmsf ? "tmsf" : timeFormat_ == MciTimeFormat::Msf ? "msf" : "milliseconds";
        return 0;
    default:
        break;
    }

    const CdTableOfContents* toc = disc();
    if (toc == nullptr) return mci_error::kDeviceNotReady;
    const CdTrack* track = nullptr;
    if (query.track) {
        track = toc->track(*query.track);
        if (track == nullptr) return mci_error::kOutOfRange;
    }
    switch (query.item) {
    case MciStatusItem::CurrentTrack:
        reply = std::to_string(toc->trackAt(currentSector(*toc))->number);
        return 0;
    case MciStatusItem::NumberOfTracks:
        reply = std::to_string(toc->tracks.size());
        return 0;
    case MciStatusItem::Position:
        reply = formatCdPosition(track ? track->start : currentSector(*toc), timeFormat_, *toc);
        return 0;
    case MciStatusItem::Length:
        reply = track ? formatCdLength(toc->trackEnd(*track) - track->start, timeFormat_)
                      : formatCdLength(toc->leadOut - toc->tracks.front().start, timeFormat_);
        return 0;
    default:
        return mci_error::kUnrecognizedKeyword;
    }
}

std::int32_t CdAudioDevice::setTimeFormat(MciTimeFormat format) {
    timeFormat_ = format;
    return 0;
}

}  // namespace tamaruka
