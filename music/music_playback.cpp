#include "music/music_playback.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace tamaruka {

namespace {

// A failed query comes back as "Error:<code>"; callers find it by "ERR" in the
// upper-cased text.
bool isErrorText(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("ERR") != std::string::npos;
}

// The numeric value of a reply compared with a number: blanks around it, a
// sign, digits and a decimal point. Anything else cannot be compared and ends
// the tick like any other run-time failure.
double numberInText(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos) throw std::invalid_argument("no number");
    const std::string core = text.substr(first, last - first + 1);
    std::size_t i = (core[0] == '+' || core[0] == '-') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < core.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(core[i]))) digits = true;
        else if (core[i] == '.' && !point) point = true;
        else throw std::invalid_argument("not a number");
    }
    if (!digits) throw std::invalid_argument("not a number");
    return std::strtod(core.c_str(), nullptr);
}

// The first seven bytes of a mode buffer, NULs and stale text included, as the
// comparison with "stopped" and "playing" sees them.
std::string firstSeven(const char* buffer) { return std::string(buffer, 7); }

}  // namespace

MusicPlayback::MusicPlayback(const MusicSettings& settings, MciCommandLayer& mci, WaveSound& wave)
    : settings_(settings), mci_(mci), wave_(wave) {}

void MusicPlayback::CdOpen() {
    try {
        mci_.MciSendQuiet("open cdaudio");
        mci_.MciSendQuiet("set cdaudio time format tmsf");
    } catch (...) {
    }
}

void MusicPlayback::CdWatch() {
    cdWatching_ = true;
    try {
        cdWatchTick();
    } catch (...) {
        cdWatching_ = false;
    }
}

void MusicPlayback::cdWatchTick() {
    const std::string track = mci_.MciQuery("status cdaudio current track");
    if (isErrorText(track)) {
        cdWatching_ = false;
        return;
    }
    // Only probes that a disc is ready; the count is not used.
    if (isErrorText(mci_.MciQuery("status cdaudio number of tracks"))) {
        cdWatching_ = false;
        return;
    }
    mci_.platform().sendString("status cdaudio mode", cdModeText_, 255);
    const std::string mode = firstSeven(cdModeText_);

    if (settings_.bgmRepeat != 0) {
        // Both sides are evaluated, so an unreadable track ends the watch even
        // while the disc is stopped.
        const bool stopped = mode == "stopped";
        const bool otherTrack = numberInText(track) != settings_.bgmRepeat;
        if (stopped || otherTrack) {
            const std::string position =
                mci_.MciQuery("status cdaudio position track " + std::to_string(settings_.bgmRepeat));
            mci_.MciPlay("cdaudio", position, "");
        }
    } else if (mode == "stopped") {
        // Plays on from the current position: the first tick starts the disc.
        mci_.MciPlay("cdaudio", "", "");
    }
}

void MusicPlayback::CdClose() {
    try {
        mci_.MciSendQuiet("stop cdaudio");
        mci_.MciSendQuiet("close cdaudio");
    } catch (...) {
    }
}

void MusicPlayback::Mp3Open() {
    try {
        const std::string command = "open \"" + settings_.bgmFile + "\" type MPEGVideo Alias MP3Play";
        if (mci_.MciSendQuiet(command) == 0) mci_.MciSendQuiet("play MP3Play");
    } catch (...) {
    }
}

bool MusicPlayback::Mp3IsPlaying() {
    try {
        mci_.platform().sendString("status MP3Play mode", mp3ModeText_, sizeof mp3ModeText_);
    } catch (...) {
    }
    return firstSeven(mp3ModeText_) == "playing";
}

void MusicPlayback::Mp3Loop() {
    if (Mp3IsPlaying()) return;
    try {
        mci_.MciSendQuiet("stop MP3Play");
        mci_.MciSendQuiet("play MP3Play from 0");
    } catch (...) {
    }
}

void MusicPlayback::Mp3Close() {
    try {
        mci_.MciSendQuiet("stop MP3Play");
        mci_.MciSendQuiet("close MP3Play");
    } catch (...) {
    }
}

void MusicPlayback::WavPlay() {
    try {
        if (wave_.outputDeviceCount() == 0) return;
        wave_.playSound(settings_.bgmFile.c_str(), kSoundAsync | kSoundLoop);
    } catch (...) {
    }
}

void MusicPlayback::WavStop() {
    try {
        wave_.playSound(nullptr, 0);
    } catch (...) {
    }
}

std::string bgmFileType(const std::string& bgmFile) {
    // Characters, not bytes: step back over UTF-8 continuation bytes.
    std::size_t start = bgmFile.size();
    for (int characters = 0; characters < 3 && start > 0; ++characters) {
        do {
            --start;
        } while (start > 0 && (static_cast<unsigned char>(bgmFile[start]) & 0xC0) == 0x80);
    }
    std::string type = bgmFile.substr(start);
    for (char& c : type) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return type;
}

}  // namespace tamaruka
