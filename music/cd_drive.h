#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace tamaruka {

// Sector numbers are logical (LSN): sector 0 is at disc address 00:02:00.
inline constexpr std::int32_t kCdFramesPerSecond = 75;
inline constexpr std::int32_t kCdPregapFrames = 150;

struct CdTrack {
    int number = 0;
    std::int32_t start = 0;  // first sector
    bool audio = true;
};

struct CdTableOfContents {
    std::vector<CdTrack> tracks;  // in disc order
    std::int32_t leadOut = 0;     // first sector after the last track

    // The track that holds sector, the last one at or after the lead-out.
    const CdTrack* trackAt(std::int32_t sector) const;
    const CdTrack* track(int number) const;
    std::int32_t trackEnd(const CdTrack& track) const;
};

// An audio CD drive (or disc image) that plays in the background.
class CdDrive {
public:
    virtual ~CdDrive() = default;
    // The disc's table of contents; nullopt when no readable disc is in.
    virtual std::optional<CdTableOfContents> tableOfContents() = 0;
    virtual bool trayOpen() = 0;
    // Starts playing sectors [from, to) and returns at once: 0 or an MCI error.
    virtual std::int32_t play(std::int32_t from, std::int32_t to) = 0;
    // Stops; the position stays where the sound stopped.
    virtual void stop() = 0;
    // True until the last sector asked for has been heard or stop() is called.
    virtual bool playing() = 0;
    // The sector being heard now, or where play stopped; 0 before any play.
    virtual std::int32_t position() = 0;
};

}  // namespace tamaruka
