// The settings file's read and save on a 100 MB file (the three keys first,
// then short comment lines), as the dialog loads and saves it: wall time
// and the process's peak memory. Figures in bench/README.md ("Settings file").
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/ini_file.h"

namespace {

// Made once, removed when the benchmark ends.
struct HugeFile {
    std::string folder = (std::filesystem::temp_directory_path() / "tamaruka-bench-XXXXXX").string();
    std::string file;
    HugeFile() {
        if (::mkdtemp(folder.data()) == nullptr) std::abort();
        file = folder + "/Tamaruka.ini";
        std::ofstream out(file, std::ios::binary);
        out << "[Section]\r\nBGM\x8B\xE6\x95\xAA= 0\r\n";
        const std::string line = "; kept line\r\n";
        for (std::size_t i = 0; i < 100'000'000 / line.size(); ++i) out << line;
    }
    ~HugeFile() { std::filesystem::remove_all(folder); }
};

const std::string& hugeFile() {
    static const HugeFile huge;
    return huge.file;
}

void peakMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ReadKeyOfHugeFile(benchmark::State& state) {
    const std::string& file = hugeFile();
    for (auto _ : state) benchmark::DoNotOptimize(tamaruka::readProfileString(file, "Section", "Missing"));
    peakMemory(state);
}
BENCHMARK(ReadKeyOfHugeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveKeyIntoHugeFile(benchmark::State& state) {
    const std::string& file = hugeFile();
    int kind = 0;
    for (auto _ : state) {
        kind ^= 1;
        if (!tamaruka::writeProfileString(file, "Section", "BGM\xE5\x8C\xBA\xE5\x88\x86",
                                          std::to_string(kind)))
            state.SkipWithError("the save failed");
    }
    peakMemory(state);
}
BENCHMARK(SaveKeyIntoHugeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
