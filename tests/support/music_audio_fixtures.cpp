#include "tests/support/music_audio_fixtures.h"

#include "harness/harness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace tamaruka::test {

namespace {

constexpr double kPi = 3.14159265358979323846;

void putLittle(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Interleaved stereo frames of a tone, both channels alike.
void writeToneFrames(std::ofstream& out, double frequency, std::size_t frames) {
    for (std::size_t n = 0; n < frames; ++n) {
        const auto sample =
            static_cast<std::int16_t>(std::lround(kToneAmplitude * std::sin(2 * kPi * frequency * n / kRate)));
        putLittle(out, static_cast<std::uint16_t>(sample), 2);
        putLittle(out, static_cast<std::uint16_t>(sample), 2);
    }
}

}  // namespace

void writeToneWav(const std::string& path, double frequency, double seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    putLittle(out, 36 + frames * 4, 4);
    out.write("WAVEfmt ", 8);
    putLittle(out, 16, 4);
    putLittle(out, 1, 2);  // PCM
    putLittle(out, 2, 2);
    putLittle(out, kRate, 4);
    putLittle(out, kRate * 4, 4);
    putLittle(out, 4, 2);
    putLittle(out, 16, 2);
    out.write("data", 4);
    putLittle(out, frames * 4, 4);
    writeToneFrames(out, frequency, frames);
}

bool writeLongWav(const std::string& path, double frequency) {
    writeToneWav(path, frequency, 1.0);
    constexpr std::uint32_t dataBytes = 512u * 1024 * 1024;
    std::fstream header(path, std::ios::in | std::ios::out | std::ios::binary);
    const auto putSize = [&](std::streamoff at, std::uint32_t value) {
        header.seekp(at);
        for (int i = 0; i < 4; ++i) header.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    putSize(4, 36 + dataBytes);
    putSize(40, dataBytes);
    header.close();
    return header && ::truncate(path.c_str(), 44 + static_cast<off_t>(dataBytes)) == 0;
}

bool writeToneMp3(const std::string& folder, const std::string& path, double frequency, double seconds) {
    const std::string wav = folder + "/mp3-source.wav";
    writeToneWav(wav, frequency, seconds);
    const std::string command = "lame --quiet -b 128 '" + wav + "' '" + path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

std::string writeCdImage(const std::string& folder, const std::vector<double>& trackFrequencies,
                         double secondsPerTrack) {
    const std::size_t sectors = static_cast<std::size_t>(secondsPerTrack * 75);
    const std::size_t framesPerSector = 2352 / 4;
    std::ofstream bin(folder + "/disc.bin", std::ios::binary);
    std::ofstream cue(folder + "/disc.cue");
    cue << "FILE \"disc.bin\" BINARY\n";
    for (std::size_t t = 0; t < trackFrequencies.size(); ++t) {
        const std::size_t start = t * sectors;
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\n    INDEX 01 %02zu:%02zu:%02zu\n", t + 1,
                      start / 75 / 60, start / 75 % 60, start % 75);
        cue << line;
        writeToneFrames(bin, trackFrequencies[t], sectors * framesPerSector);
    }
    return folder + "/disc.cue";
}

DiskAudioOutput::DiskAudioOutput(const std::string& folder) : path_(folder + "/output.raw") {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
}

double DiskAudioOutput::seconds() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) return 0.0;
    return static_cast<double>(info.st_size) / (kRate * 4.0);
}

bool DiskAudioOutput::waitFor(double wanted, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return seconds() >= wanted; }, timeout);
}

std::vector<std::int16_t> DiskAudioOutput::left(double from, double to) const {
    std::ifstream in(path_, std::ios::binary);
    const auto first = static_cast<std::streamoff>(from * kRate) * 4;
    const auto count = static_cast<std::size_t>((to - from) * kRate);
    std::vector<std::int16_t> frames(count * 2);
    in.seekg(first);
    in.read(reinterpret_cast<char*>(frames.data()), static_cast<std::streamsize>(frames.size() * 2));
    frames.resize(static_cast<std::size_t>(in.gcount()) / 2);
    std::vector<std::int16_t> result;
    for (std::size_t i = 0; i < frames.size(); i += 2) result.push_back(frames[i]);
    return result;
}

double DiskAudioOutput::toneAmplitude(double frequency, double from, double to) const {
    // Goertzel filter at one frequency.
    const std::vector<std::int16_t> samples = left(from, to);
    if (samples.empty()) return 0.0;
    const double coefficient = 2 * std::cos(2 * kPi * frequency / kRate);
    double s1 = 0, s2 = 0;
    for (std::int16_t sample : samples) {
        const double s0 = sample + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(samples.size());
}

double DiskAudioOutput::peak(double from, double to) const {
    double largest = 0;
    for (std::int16_t sample : left(from, to)) largest = std::max(largest, std::abs(static_cast<double>(sample)));
    return largest;
}

}  // namespace tamaruka::test
