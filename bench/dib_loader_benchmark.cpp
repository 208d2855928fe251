// The bitmap loader: the 32 x 32 sprite and a 4096 x 4096 24-bit bitmap, both
// decoded from memory and loaded from a file (mmap + decode). Bytes/s counts
// the file's pixel data.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "dib/dib_decoder.h"
#include "dib/dib_loader.h"

namespace {

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 24-bit bitmap with a file header and a soft glow-like pattern.
std::vector<std::uint8_t> bitmap24(std::int32_t side) {
    const std::size_t stride = (static_cast<std::size_t>(side) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> file(54 + stride * side, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, 54);
    put32(file, 14, 40);
    put32(file, 18, static_cast<std::uint32_t>(side));
    put32(file, 22, static_cast<std::uint32_t>(side));
    file[26] = 1;
    file[28] = 24;
    for (std::int32_t y = 0; y < side; ++y) {
        std::uint8_t* row = file.data() + 54 + stride * y;
        for (std::int32_t x = 0; x < side; ++x) {
            const auto level = static_cast<std::uint8_t>((x ^ y) * 7);
            row[3 * x] = level;
            row[3 * x + 1] = static_cast<std::uint8_t>(level + 1);
            row[3 * x + 2] = static_cast<std::uint8_t>(level + 2);
        }
    }
    return file;
}

std::string writeTemp(const std::vector<std::uint8_t>& bytes, const char* name) {
    const std::string path = "/tmp/tamaruka-bench-" + std::to_string(::getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void decode(benchmark::State& state) {
    const auto side = static_cast<std::int32_t>(state.range(0));
    const std::vector<std::uint8_t> file = bitmap24(side);
    for (auto _ : state) {
        auto result = tamaruka::decodeDib(file);
        if (!std::holds_alternative<tamaruka::DibImage>(result)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (file.size() - 54));
}

void loadFile(benchmark::State& state) {
    const auto side = static_cast<std::int32_t>(state.range(0));
    const std::vector<std::uint8_t> bytes = bitmap24(side);
    const std::string path = writeTemp(bytes, "load.bmp");
    for (auto _ : state) {
        auto image = tamaruka::loadDibImage(path, nullptr);
        if (!image) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image);
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (bytes.size() - 54));
}

BENCHMARK(decode)->Name("DibDecode24")->Arg(32)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(loadFile)->Name("DibLoadFile24")->Arg(32)->Arg(4096)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
