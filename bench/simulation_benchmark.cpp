// The fireworks simulation at its steady load: a fixed seed, frames at 60 Hz.
// Reports the time of a frame per particle in the list, the peak and mean
// particle counts, and the calls to the system allocator in the steady state.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "fireworks/scene.h"

namespace {

std::atomic<long> allocations{0};

class SixtyHertzHost : public tamaruka::SceneHost {
public:
    std::uint64_t frame = 0;
    std::uint32_t tickCount() override { return static_cast<std::uint32_t>(frame * 1000 / 60); }
    std::uint32_t calendarSeconds() override { return 20240601; }
    void loadSpriteTexture() override {}
    void deleteSpriteTexture() override {}
    void drawFrame(const tamaruka::Scene&) override {}
};

constexpr int FramesPerMinute = 60 * 60;

// Each iteration is one simulated minute, after one minute of warm-up.
void BM_SimulatedMinute(benchmark::State& state) {
    SixtyHertzHost host;
    tamaruka::Scene scene(host);
    scene.initScene();
    for (int i = 0; i < FramesPerMinute; ++i) {
        ++host.frame;
        scene.stepFrame();
    }
    double particleUpdates = 0;
    double frames = 0;
    std::size_t peak = 0;
    const long allocationsBefore = allocations.load();
    for (auto _ : state) {
        for (int i = 0; i < FramesPerMinute; ++i) {
            ++host.frame;
            scene.stepFrame();
            particleUpdates += static_cast<double>(scene.particles.size());
            peak = std::max(peak, scene.particles.size());
        }
        frames += FramesPerMinute;
    }
    const long steadyAllocations = allocations.load() - allocationsBefore;
    // Shown as seconds with an SI prefix: "4.9n" is 4.9 ns of CPU per particle.
    state.counters["time_per_particle"] = benchmark::Counter(
        particleUpdates, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["mean_particles"] = particleUpdates / frames;
    state.counters["peak_particles"] = static_cast<double>(peak);
    state.counters["allocator_calls"] = static_cast<double>(steadyAllocations);
    state.counters["particle_updates"] = particleUpdates;
    scene.shutdownScene();
}
BENCHMARK(BM_SimulatedMinute)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

// Every call to the system allocator in this program is counted. GCC takes
// the replaced operators' malloc/free pairing for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

BENCHMARK_MAIN();
