#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "music/audio_output.h"
#include "music/cd_drive.h"

namespace tamaruka {

// A CD drive or disc image read through libcdio: the table of contents from
// libcdio, the audio through libcdio-paranoia on a reader thread, into the
// audio output. The window thread only hands over requests: it waits for a
// table read at most kAnswerTimeLimit, and never for the disc while music
// plays or when the drive is closed.
class CdioDrive : public CdDrive, private PcmMixSource {
public:
    // How long the window thread waits for a drive to answer a table read;
    // a drive that does not answer in time counts as having no disc, for good.
    static constexpr std::chrono::milliseconds kAnswerTimeLimit{2000};

    explicit CdioDrive(std::string source);
    ~CdioDrive() override;

    std::optional<CdTableOfContents> tableOfContents() override;
    bool trayOpen() override;
    std::int32_t play(std::int32_t from, std::int32_t to) override;
    void stop() override;
    bool playing() override;
    std::int32_t position() override;

private:
    struct Disc;  // libcdio handles
    void mixInto(std::int16_t* samples, std::size_t frames) override;
    // Tells the reader whether the drive still exists; shared, so that a
    // reader stuck in a read can outlive the drive.
    struct ReaderGuard {
        std::mutex mutex;
        bool inRead = false;     // inside a libcdio read that may block
        bool abandoned = false;  // the drive was destroyed meanwhile
    };
    void readSectors(const std::shared_ptr<ReaderGuard>& guard, const std::shared_ptr<Disc>& disc);
    bool sectorIsAudio(std::int32_t sector) const;

    std::string source_;
    std::shared_ptr<Disc> disc_;  // shared with a table read that may outlive its wait
    bool unanswered_ = false;
    bool trayOpen_ = false;  // from the last table read that found no disc
    std::vector<CdTrack> tracks_;  // copy of the table for the reader
    std::int32_t leadOut_ = 0;
    std::shared_ptr<AudioSession> audio_;
    std::thread reader_;
    std::shared_ptr<ReaderGuard> readerGuard_;

    // Shared with the reader and the audio thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool playing_ = false;
    bool seekNeeded_ = false;
    std::uint64_t request_ = 0;     // changes with every play and stop
    std::int32_t playFrom_ = 0;
    std::int32_t playTo_ = 0;
    std::int32_t nextSector_ = 0;   // next sector the reader fetches
    std::int32_t heard_ = 0;        // sector being heard
    std::uint64_t samplesHeard_ = 0;
    std::vector<std::int16_t> ring_;
    std::size_t ringStart_ = 0;
    std::size_t ringFill_ = 0;
};

// True when the source is a regular file (a disc image) or a block device
// (a drive), checked without blocking; FIFOs, terminals and other character
// devices are refused.
bool cdSourceCanBeOpened(const std::string& source);

// The drive the "cdaudio" device uses: the one named in the command, else the
// one named by TAMARUKA_CDROM, else libcdio's default drive; empty when the
// machine has none.
std::string cdAudioSource(const std::string& named);

}  // namespace tamaruka
