#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tamaruka {

enum class MciTimeFormat { Milliseconds, Msf, Tmsf };

enum class MciStatusItem {
    Mode,
    CurrentTrack,
    NumberOfTracks,
    Position,
    Length,
    MediaPresent,
    Ready,
    TimeFormat,
};

struct MciStatusQuery {
    MciStatusItem item = MciStatusItem::Mode;
    std::optional<int> track;  // "position track n", "length track n"
};

// One open MCI device. Every operation returns at once with 0 or an MCI error
// value; playing goes on in the background.
class MciDevice {
public:
    virtual ~MciDevice() = default;
    // Positions are the command's text, read in the device's time format.
    virtual std::int32_t play(const std::optional<std::string>& from,
                              const std::optional<std::string>& to) = 0;
    virtual std::int32_t stop() = 0;
    virtual std::int32_t status(const MciStatusQuery& query, std::string& reply) = 0;
    virtual std::int32_t setTimeFormat(MciTimeFormat format) = 0;
};

// Opens the devices of the types the interpreter knows. On failure the result
// is null and error holds the MCI error value.
class MciDeviceFactory {
public:
    virtual ~MciDeviceFactory() = default;
    // drive: a drive or disc image named in the open command; empty for the default.
    virtual std::unique_ptr<MciDevice> openCdAudio(const std::string& drive, std::int32_t& error) = 0;
    virtual std::unique_ptr<MciDevice> openMpegVideo(const std::string& file, std::int32_t& error) = 0;
};

}  // namespace tamaruka
