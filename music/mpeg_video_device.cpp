#include "music/mpeg_video_device.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "music/mci_error.h"

namespace tamaruka {

namespace {
std::string milliseconds(double seconds) {
    return std::to_string(static_cast<long long>(std::llround(std::max(seconds, 0.0) * 1000.0)));
}
}  // namespace

MpegVideoDevice::MpegVideoDevice(std::unique_ptr<MusicTrack> track) : track_(std::move(track)) {}

MpegVideoDevice::~MpegVideoDevice() { track_->stop(); }

std::int32_t MpegVideoDevice::play(const std::optional<std::string>& from, const std::optional<std::string>& to) {
    if (to) return mci_error::kUnsupportedFunction;
    double start = stoppedAt_;
    if (from) {
        long long value = 0;
        const auto [end, ec] = std::from_chars(from->data(), from->data() + from->size(), value);
        if (ec == std::errc::result_out_of_range) return mci_error::kOutOfRange;
        if (from->empty() || ec != std::errc() || end != from->data() + from->size()) return mci_error::kBadInteger;
        if (value < 0) return mci_error::kOutOfRange;
        start = static_cast<double>(value) / 1000.0;
        const double length = track_->lengthSeconds();
        if (length >= 0.0 && start > length) return mci_error::kOutOfRange;
    } else if (track_->playing()) {
        return 0;
    } else if (const double length = track_->lengthSeconds(); length >= 0.0 && start >= length) {
        start = 0.0;
    }
    return track_->play(start) ? 0 : mci_error::kInvalidFile;
}

std::int32_t MpegVideoDevice::stop() {
    if (track_->playing()) stoppedAt_ = track_->positionSeconds();
    track_->stop();
    return 0;
}

std::int32_t MpegVideoDevice::status(const MciStatusQuery& query, std::string& reply) {
    if (query.track && *query.track != 1) return mci_error::kOutOfRange;
    switch (query.item) {
    case MciStatusItem::Mode:
        reply = track_->playing() ? "playing" : "stopped";
        return 0;
    case MciStatusItem::Ready:
    case MciStatusItem::MediaPresent:
        reply = "true";
        return 0;
    case MciStatusItem::TimeFormat:
        reply = "milliseconds";
        return 0;
    case MciStatusItem::CurrentTrack:
    case MciStatusItem::NumberOfTracks:
        reply = "1";
        return 0;
    case MciStatusItem::Position:
        reply = milliseconds(query.track ? 0.0 : track_->playing() ? track_->positionSeconds() : stoppedAt_);
        return 0;
    case MciStatusItem::Length: {
        const double length = track_->lengthSeconds();
        if (length < 0.0) return mci_error::kUnsupportedFunction;
        reply = milliseconds(length);
        return 0;
    }
    }
    return mci_error::kUnrecognizedKeyword;
}

std::int32_t MpegVideoDevice::setTimeFormat(MciTimeFormat format) {
    return format == MciTimeFormat::Milliseconds ? 0 : mci_error::kBadTimeFormat;
}

}  // namespace tamaruka
