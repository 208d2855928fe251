// Cost of the music's timer ticks while music plays, and the CPU the front-end
// spends playing an MP3. Audio goes to SDL's disk driver writing /dev/null, in
// real time like a sound card.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "music/music_playback.h"

namespace {

constexpr int kRate = 44100;

std::string tempFolder() {
    std::string pattern = "/tmp/tamaruka-music-bench-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : "/tmp";
}

void useDiskAudio() {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
}

// Raw CD-format tone: 16-bit little-endian stereo.
void writeTone(std::ofstream& out, double frequency, double seconds) {
    for (long n = 0; n < static_cast<long>(seconds * kRate); ++n) {
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * frequency * n / kRate));
        for (int channel = 0; channel < 2; ++channel) {
            out.put(static_cast<char>(sample & 0xFF));
            out.put(static_cast<char>((sample >> 8) & 0xFF));
        }
    }
}

std::string writeCdImage(const std::string& folder) {
    std::ofstream bin(folder + "/disc.bin", std::ios::binary);
    writeTone(bin, 440, 30);
    writeTone(bin, 660, 30);
    std::ofstream(folder + "/disc.cue") << "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                           "  TRACK 02 AUDIO\n    INDEX 01 00:30:00\n";
    return folder + "/disc.cue";
}

// A 60 s MP3 made by lame; empty when lame is missing.
std::string writeMp3(const std::string& folder) {
    const std::string wav = folder + "/tone.wav", mp3 = folder + "/tone.mp3";
    {
        std::ofstream out(wav, std::ios::binary);
        const std::uint32_t bytes = 60u * kRate * 4;
        auto put = [&](std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
        };
        out.write("RIFF", 4), put(36 + bytes, 4), out.write("WAVEfmt ", 8), put(16, 4), put(1, 2), put(2, 2);
        put(kRate, 4), put(kRate * 4, 4), put(4, 2), put(16, 2), out.write("data", 4), put(bytes, 4);
        writeTone(out, 523, 60);
    }
    const std::string command = "lame --quiet -b 192 '" + wav + "' '" + mp3 + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? mp3 : std::string();
}

double processCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void CdWatchTickWhilePlaying(benchmark::State& state) {
    useDiskAudio();
    const std::string folder = tempFolder();
    ::setenv("TAMARUKA_CDROM", writeCdImage(folder).c_str(), 1);
    auto music = tamaruka::makeMusicPlayback({1, static_cast<std::int16_t>(state.range(0)), {}});
    music->CdOpen();
    music->CdWatch();  // starts the disc
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (auto _ : state) {
        music->CdWatch();
        if (!music->CdWatching()) state.SkipWithError("the watch ended");
    }
    music->CdClose();
}
BENCHMARK(CdWatchTickWhilePlaying)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

void Mp3LoopTickWhilePlaying(benchmark::State& state) {
    useDiskAudio();
    const std::string mp3 = writeMp3(tempFolder());
    if (mp3.empty()) return state.SkipWithError("lame is not installed");
    auto music = tamaruka::makeMusicPlayback({2, 0, mp3});
    music->Mp3Open();
    for (auto _ : state) {
        music->Mp3Loop();
    }
    if (!music->Mp3IsPlaying()) state.SkipWithError("the MP3 did not play");
    music->Mp3Close();
}
BENCHMARK(Mp3LoopTickWhilePlaying)->Unit(benchmark::kMicrosecond);

// Wall time: 10 s of MP3 playing with the 1000 ms repeat check running.
void CpuWhilePlayingMp3(benchmark::State& state) {
    useDiskAudio();
    const std::string mp3 = writeMp3(tempFolder());
    if (mp3.empty()) return state.SkipWithError("lame is not installed");
    auto music = tamaruka::makeMusicPlayback({2, 0, mp3});
    music->Mp3Open();
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        for (int tick = 0; tick < 10; ++tick) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            music->Mp3Loop();
        }
        cpu += processCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    music->Mp3Close();
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
}
BENCHMARK(CpuWhilePlayingMp3)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
