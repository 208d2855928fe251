#include "music/cdio_drive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "common/file_without_blocking.h"
#include "music/mci_error.h"

namespace tamaruka {

namespace {

constexpr std::size_t kSamplesPerSector = CDIO_CD_FRAMESIZE_RAW / sizeof(std::int16_t);  // 1176
constexpr std::size_t kRingSectors = 24;  // about a third of a second read ahead
constexpr int kReadRetries = 3;

// The music layer never reports; libcdio would otherwise write to stderr.
void dropLogMessage(cdio_log_level_t, const char*) {}

void silenceLibcdio() {
    static const bool done = (cdio_log_set_handler(dropLogMessage), true);
    (void)done;
}

}  // namespace

struct CdioDrive::Disc {
    CdIo_t* cdio = nullptr;
    cdrom_drive_t* cdda = nullptr;
    cdrom_paranoia_t* paranoia = nullptr;
    bool paranoiaFailed = false;
    std::int32_t cursor = -1;  // the sector paranoia reads next

    ~Disc() {
        if (paranoia) cdio_paranoia_free(paranoia);
        if (cdda) cdio_cddap_close_no_free_cdio(cdda);
        if (cdio) cdio_destroy(cdio);
    }
};

CdioDrive::CdioDrive(std::string source) : source_(std::move(source)) { silenceLibcdio(); }

CdioDrive::~CdioDrive() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        playing_ = false;
    }
    wake_.notify_all();
    if (reader_.joinable()) {
        // A reader inside a read may wait on the drive for good: it is left
        // behind, and touches nothing of this drive when the read returns.
        bool abandon = false;
        {
            std::lock_guard held(readerGuard_->mutex);
            abandon = readerGuard_->inRead;
            readerGuard_->abandoned = abandon;
        }
        if (abandon) reader_.detach();
        else reader_.join();
    }
    if (audio_) audio_->removeSource(this);
}

bool cdSourceCanBeOpened(const std::string& source) {
    // Opening without blocking tells what the name is: a FIFO or a terminal
    // would block libcdio's own open or read for good.
    const FileWithoutBlocking opened = openWithoutBlocking(source);
    return opened.error == 0 && (S_ISREG(opened.status.st_mode) || S_ISBLK(opened.status.st_mode));
}

namespace {

// Opens the source if needed and reads its table of contents. Runs on a
// worker thread: a drive may take long to answer, or never answer.
std::optional<CdTableOfContents> readTableOfContents(CdIo_t*& cdio, const std::string& source) {
    if (cdio == nullptr) cdio = cdio_open(source.c_str(), DRIVER_UNKNOWN);
    if (cdio == nullptr) return std::nullopt;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    const lsn_t leadOut = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 || leadOut == CDIO_INVALID_LSN) {
        return std::nullopt;
    }
    CdTableOfContents toc;
    for (unsigned number = first; number < unsigned{first} + count; ++number) {
        const auto track = static_cast<track_t>(number);
        const lsn_t start = cdio_get_track_lsn(cdio, track);
        if (start == CDIO_INVALID_LSN) return std::nullopt;
        // Tracks follow one another inside the disc; a sheet that says
        // otherwise (a track past the image's end) describes no disc.
        const std::int32_t previous = toc.tracks.empty() ? -1 : toc.tracks.back().start;
        if (start <= previous || start >= leadOut) return std::nullopt;
        toc.tracks.push_back({static_cast<int>(number), start,
                              cdio_get_track_format(cdio, track) == TRACK_FORMAT_AUDIO});
    }
    toc.leadOut = leadOut;
    return toc;
}

// Runs the work on a thread of its own and waits for it at most limit:
// nullopt when it has not finished by then. The work then finishes, or not,
// on its own, with everything it uses held by itself.
template <class Result, class Work>
std::optional<Result> finishedWithin(std::chrono::milliseconds limit, Work work) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)]() mutable {
        Result result = work();
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->done.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, limit, [&] { return shared->result.has_value(); })) return std::nullopt;
    return std::move(shared->result);
}

struct TableAnswer {
    std::optional<CdTableOfContents> toc;
    bool trayOpen = false;  // asked only when there is no table
};

}  // namespace

std::string cdAudioSource(const std::string& named) {
    silenceLibcdio();
    if (!named.empty()) return named;
    if (const char* variable = std::getenv("TAMARUKA_CDROM"); variable && *variable) return variable;
    // libcdio asks each candidate drive whether it is one.
    return finishedWithin<std::string>(CdioDrive::kAnswerTimeLimit, [] {
               char* device = cdio_get_default_device(nullptr);
               if (device == nullptr) return std::string();
               std::string path = device;
               cdio_free(device);
               return path;
           }).value_or(std::string());
}

std::optional<CdTableOfContents> CdioDrive::tableOfContents() {
    // Once the reader runs it owns the handles; the table is known by then.
    if (reader_.joinable()) {
        CdTableOfContents toc{tracks_, leadOut_};
        return toc;
    }
    // A source that once failed to answer in time is not asked again.
    if (unanswered_ || !cdSourceCanBeOpened(source_)) return std::nullopt;
    if (!disc_) disc_ = std::make_shared<Disc>();

    std::optional<TableAnswer> answer =
        finishedWithin<TableAnswer>(kAnswerTimeLimit, [disc = disc_, source = source_] {
            TableAnswer read{readTableOfContents(disc->cdio, source)};
            read.trayOpen = !read.toc && disc->cdio && mmc_get_tray_status(disc->cdio) == 1;
            return read;
        });
    if (!answer) {
        unanswered_ = true;
        disc_.reset();  // the worker keeps the handles until it returns
        return std::nullopt;
    }
    trayOpen_ = answer->trayOpen;
    if (!answer->toc) {
        if (disc_->cdio == nullptr) disc_.reset();
        return std::nullopt;
    }
    tracks_ = answer->toc->tracks;
    leadOut_ = answer->toc->leadOut;
    return answer->toc;
}

bool CdioDrive::trayOpen() {
    return !reader_.joinable() && trayOpen_;
}

std::int32_t CdioDrive::play(std::int32_t from, std::int32_t to) {
    if (!disc_ || tracks_.empty()) return mci_error::kDeviceNotReady;
    if (!audio_) {
        audio_ = openAudioSession();
        if (!audio_) return mci_error::kHardware;
        audio_->addSource(this);
    }
    {
        std::lock_guard lock(mutex_);
        if (ring_.empty()) ring_.resize(kRingSectors * kSamplesPerSector);
        ++request_;
        playing_ = true;
        seekNeeded_ = true;
        playFrom_ = from;
        playTo_ = to;
        nextSector_ = from;
        heard_ = from;
        samplesHeard_ = 0;
        ringStart_ = 0;
        ringFill_ = 0;
    }
    if (!reader_.joinable()) {
        readerGuard_ = std::make_shared<ReaderGuard>();
        reader_ = std::thread([this, guard = readerGuard_, disc = disc_] { readSectors(guard, disc); });
    }
    wake_.notify_all();
    return 0;
}

void CdioDrive::stop() {
    std::lock_guard lock(mutex_);
    ++request_;
    playing_ = false;
    ringFill_ = 0;
}

bool CdioDrive::playing() {
    std::lock_guard lock(mutex_);
    return playing_;
}

std::int32_t CdioDrive::position() {
    std::lock_guard lock(mutex_);
    return heard_;
}

bool CdioDrive::sectorIsAudio(std::int32_t sector) const {
    const CdTrack* found = nullptr;
    for (const CdTrack& track : tracks_) {
        if (track.start <= sector) found = &track;
    }
    return found && found->audio;
}

void CdioDrive::mixInto(std::int16_t* samples, std::size_t frames) {
    std::lock_guard lock(mutex_);
    if (!playing_) return;
    const std::size_t count = std::min(frames * 2, ringFill_);
    for (std::size_t i = 0; i < count; ++i) {
        const int sum = samples[i] + ring_[(ringStart_ + i) % ring_.size()];
        samples[i] = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
    }
    ringStart_ = (ringStart_ + count) % ring_.size();
    ringFill_ -= count;
    samplesHeard_ += count;
    heard_ = playFrom_ + static_cast<std::int32_t>(samplesHeard_ / kSamplesPerSector);
    if (heard_ >= playTo_) {
        heard_ = playTo_;
        playing_ = false;
    }
    wake_.notify_all();
}

void CdioDrive::readSectors(const std::shared_ptr<ReaderGuard>& guard, const std::shared_ptr<Disc>& discHandle) {
    std::vector<std::int16_t> sector(kSamplesPerSector);
    // Held whenever this thread may touch the drive's members; let go only
    // around the libcdio calls, which may block.
    std::unique_lock held(guard->mutex);
    std::unique_lock lock(mutex_);
    while (!quit_) {
        const bool room = ringFill_ + kSamplesPerSector <= ring_.size();
        if (!playing_ || nextSector_ >= playTo_ || !room) {
            wake_.wait(lock);
            continue;
        }
        const std::uint64_t request = request_;
        const std::int32_t number = nextSector_;
        const bool seek = std::exchange(seekNeeded_, false);
        const bool audio = sectorIsAudio(number);
        lock.unlock();
        guard->inRead = true;
        held.unlock();

        std::fill(sector.begin(), sector.end(), std::int16_t{0});
        if (audio) {
            Disc& disc = *discHandle;
            if (!disc.paranoia && !disc.paranoiaFailed) {
                disc.cdda = cdio_cddap_identify_cdio(disc.cdio, CDDA_MESSAGE_FORGETIT, nullptr);
                if (disc.cdda && cdio_cddap_open(disc.cdda) == 0) disc.paranoia = cdio_paranoia_init(disc.cdda);
                disc.paranoiaFailed = disc.paranoia == nullptr;
                if (disc.paranoia) {
                    // Images read exactly; a real drive gets verification but
                    // never stalls on a scratch.
                    const bool image = cdio_get_driver_id(disc.cdio) == DRIVER_BINCUE ||
                                       cdio_get_driver_id(disc.cdio) == DRIVER_CDRDAO ||
                                       cdio_get_driver_id(disc.cdio) == DRIVER_NRG;
                    cdio_paranoia_modeset(disc.paranoia, image ? PARANOIA_MODE_DISABLE
                                                               : PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
                }
            }
            if (disc.paranoia) {
                if (seek || number != disc.cursor) cdio_paranoia_seek(disc.paranoia, number, SEEK_SET);
                if (const std::int16_t* data = cdio_paranoia_read_limited(disc.paranoia, nullptr, kReadRetries)) {
                    std::memcpy(sector.data(), data, CDIO_CD_FRAMESIZE_RAW);
                }
                disc.cursor = number + 1;
            }
        }

        held.lock();
        if (guard->abandoned) return;  // the drive is gone
        guard->inRead = false;
        lock.lock();
        if (request != request_ || !playing_) continue;  // a newer play or a stop came in
        for (std::size_t i = 0; i < kSamplesPerSector; ++i) {
            ring_[(ringStart_ + ringFill_ + i) % ring_.size()] = sector[i];
        }
        ringFill_ += kSamplesPerSector;
        ++nextSector_;
    }
}

}  // namespace tamaruka
