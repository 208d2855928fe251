// libFuzzer target for a disc image's table of contents: the input is a CUE
// sheet over a small image file, read as the "cdaudio" device reads a disc.
// A table that is read finds each of its tracks, and a position written as
// a track or a disc address reads back as the same sector.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/fuzz_scratch_folder.h"
#include "music/cd_time_format.h"
#include "music/cdio_drive.h"

namespace {

void writeFile(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
}

// The image the seed sheets name: 40 sectors of silence.
const std::string& imageFolder() {
    static const std::string folder = [] {
        const std::string& scratch = tamaruka::fuzz::scratchFolder();
        const std::string silence(40 * 2352, '\0');
        writeFile(scratch + "/disc.bin", silence.data(), silence.size());
        return scratch;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tamaruka;
    const std::string sheet = imageFolder() + "/disc.cue";
    writeFile(sheet, reinterpret_cast<const char*>(data), size);

    CdioDrive drive(sheet);
    const auto toc = drive.tableOfContents();
    if (!toc) return 0;
    if (toc->tracks.empty()) std::abort();
    for (std::size_t i = 0; i < toc->tracks.size(); ++i) {
        const CdTrack& track = toc->tracks[i];
        if (toc->trackAt(track.start) == nullptr || toc->track(track.number) == nullptr) std::abort();
        toc->trackEnd(track);
        for (const std::int32_t sector : {track.start, track.start + 1, toc->leadOut - 1}) {
            for (const MciTimeFormat format :
                 {MciTimeFormat::Tmsf, MciTimeFormat::Msf, MciTimeFormat::Milliseconds}) {
                const std::string text = formatCdPosition(sector, format, *toc);
                std::int32_t read = -1;
                const bool exact = format != MciTimeFormat::Milliseconds;
                if (parseCdPosition(text, format, *toc, read) == 0 && exact && read != sector) {
                    std::abort();
                }
                formatCdLength(sector, format);
            }
        }
    }
    return 0;
}
