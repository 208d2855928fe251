#include "music/cd_time_format.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

#include "music/mci_error.h"

namespace tamaruka {

const CdTrack* CdTableOfContents::trackAt(std::int32_t sector) const {
    const CdTrack* found = tracks.empty() ? nullptr : &tracks.front();
    for (const CdTrack& t : tracks) {
        if (t.start <= sector) found = &t;
    }
    return found;
}

const CdTrack* CdTableOfContents::track(int number) const {
    for (const CdTrack& t : tracks) {
        if (t.number == number) return &t;
    }
    return nullptr;
}

std::int32_t CdTableOfContents::trackEnd(const CdTrack& t) const {
    for (std::size_t i = 0; i + 1 < tracks.size(); ++i) {
        if (&tracks[i] == &t) return tracks[i + 1].start;
    }
    return leadOut;
}

namespace {

std::string minutesSecondsFrames(std::int32_t frames) {
    if (frames < 0) frames = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / (60 * kCdFramesPerSecond),
                  frames / kCdFramesPerSecond % 60, frames % kCdFramesPerSecond);
    return text;
}

std::int64_t framesToMilliseconds(std::int64_t frames) { return frames * 1000 / kCdFramesPerSecond; }

// Colon-separated fields of at most maxFields; a field is 0..255 as MCI packs
// each into one byte.
std::int32_t readFields(std::string_view text, std::size_t maxFields, std::vector<int>& fields) {
    fields.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part = text.substr(start, colon == std::string_view::npos ? text.npos : colon - start);
        int value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size()) return mci_error::kBadInteger;
        if (value < 0 || value > 255) return mci_error::kOutOfRange;
        fields.push_back(value);
        if (fields.size() > maxFields) return mci_error::kBadInteger;
        if (colon == std::string_view::npos) return 0;
        start = colon + 1;
    }
}

}  // namespace

std::string formatCdPosition(std::int32_t sector, MciTimeFormat format, const CdTableOfContents& toc) {
    switch (format) {
    case MciTimeFormat::Milliseconds:
        return std::to_string(framesToMilliseconds(std::int64_t{sector} + kCdPregapFrames));
    case MciTimeFormat::Msf:
        return minutesSecondsFrames(sector + kCdPregapFrames);
    case MciTimeFormat::Tmsf: {
        const CdTrack* track = toc.trackAt(sector);
        const int number = track ? track->number : 1;
        const std::int32_t offset = track ? sector - track->start : sector;
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%02d:", number);
        return prefix + minutesSecondsFrames(offset);
    }
    }
    return {};
}

std::string formatCdLength(std::int32_t frames, MciTimeFormat format) {
    if (format == MciTimeFormat::Milliseconds) return std::to_string(framesToMilliseconds(frames));
    return minutesSecondsFrames(frames);
}

std::int32_t parseCdPosition(std::string_view text, MciTimeFormat format, const CdTableOfContents& toc,
                             std::int32_t& sector) {
    if (format == MciTimeFormat::Milliseconds) {
        std::int64_t milliseconds = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
        if (ec == std::errc::result_out_of_range) return mci_error::kOutOfRange;
        if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return mci_error::kBadInteger;
        // Far beyond any disc, and beyond what the conversion below can hold.
        constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / kCdFramesPerSecond;
        if (milliseconds > limit || milliseconds < -limit) return mci_error::kOutOfRange;
        const std::int64_t address = milliseconds * kCdFramesPerSecond / 1000 - kCdPregapFrames;
        if (address < INT32_MIN || address > INT32_MAX) return mci_error::kOutOfRange;
        sector = static_cast<std::int32_t>(address);
        return 0;
    }
    std::vector<int> fields;
    const std::size_t timeFields = format == MciTimeFormat::Tmsf ? 4 : 3;
    if (const std::int32_t code = readFields(text, timeFields, fields); code != 0) return code;
    fields.resize(timeFields, 0);
    std::size_t i = 0;
    std::int32_t base = -kCdPregapFrames;
    if (format == MciTimeFormat::Tmsf) {
        const CdTrack* track = toc.track(fields[i++]);
        if (track == nullptr) return mci_error::kOutOfRange;
        base = track->start;
    }
    sector = base + (fields[i] * 60 + fields[i + 1]) * kCdFramesPerSecond + fields[i + 2];
    return 0;
}

}  // namespace tamaruka
