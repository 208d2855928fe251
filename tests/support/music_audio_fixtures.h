#pragma once
// Sound files, CD images and the disk audio output of the playback tests.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tamaruka::test {

inline constexpr int kRate = 44100;
inline constexpr std::int16_t kToneAmplitude = 8000;

// A 16-bit stereo PCM WAV file of one sine tone.
void writeToneWav(const std::string& path, double frequency, double seconds);
// A WAV of half a gigabyte (512 MiB of data), mostly silence: one second of
// the tone, then data that runs on as a hole in the file (cheap on any disk).
// False when it could not be made.
bool writeLongWav(const std::string& path, double frequency);

// An MP3 of one sine tone, encoded by the lame program; false without lame.
bool writeToneMp3(const std::string& folder, const std::string& path, double frequency, double seconds);

// A BIN/CUE audio disc image: one track per frequency, each of the given
// length (whole sectors of 2352 bytes). Returns the CUE sheet's path.
std::string writeCdImage(const std::string& folder, const std::vector<double>& trackFrequencies,
                         double secondsPerTrack);

// SDL's disk audio driver writing to a fresh file of the folder; the driver
// writes 44.1 kHz S16 stereo in real time once audio has started.
class DiskAudioOutput {
public:
    explicit DiskAudioOutput(const std::string& folder);
    double seconds() const;  // how much sound has been written so far
    // Waits until at least the given seconds are written; false on timeout.
    bool waitFor(double seconds, std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
    // Estimated amplitude of one frequency in [from, to) seconds of the left channel.
    double toneAmplitude(double frequency, double from, double to) const;
    double peak(double from, double to) const;  // largest sample magnitude

private:
    std::vector<std::int16_t> left(double from, double to) const;
    std::string path_;
};

}  // namespace tamaruka::test
