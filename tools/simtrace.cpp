// simtrace SEED T0 T1 ... Tn: runs the fireworks with no window and no GL and
// prints the particle list after each frame, for tests and for tuning.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fireworks/scene.h"
#include "fireworks/stepped_scene_host.h"

namespace {

bool parseUnsigned32(const char* text, std::uint32_t& value) {
    if (!text || *text == '\0' || *text == '-' || *text == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFull) return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

void printFrame(std::size_t index, const tamaruka::Scene& scene) {
    std::printf("frame %zu step %.9g rockets %u particles %zu\n", index,
                static_cast<double>(scene.frameStep), scene.rocketCount, scene.particles.size());
    for (const tamaruka::Particle* p = scene.particles.head(); p; p = p->next) {
        std::printf("%.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %d %d %d %.9g %.9g\n",
                    double(p->x), double(p->y), double(p->z), double(p->vx), double(p->vy),
                    double(p->vz), double(p->red), double(p->green), double(p->blue),
                    double(p->alpha), double(p->fadeRate), double(p->halfSize), p->isRocket,
                    p->burstKind, p->leavesTrail, double(p->trailInterval), double(p->trailTimer));
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::uint32_t> numbers;
    for (int i = 1; i < argc; ++i) {
        std::uint32_t value = 0;
        if (!parseUnsigned32(argv[i], value)) {
            std::fprintf(stderr, "simtrace: not an unsigned 32-bit number: %s\n", argv[i]);
            return 2;
        }
        numbers.push_back(value);
    }
    if (numbers.size() < 2) {
        std::fprintf(stderr, "usage: simtrace SEED T0 [T1 ... Tn]\n"
                             "  seeds the fireworks with SEED, starts the clock at tick T0 and\n"
                             "  runs one frame per further tick, printing the particles after each\n");
        return 2;
    }
    tamaruka::SteppedSceneHost host(numbers[0]);
    tamaruka::Scene scene(host);
    host.tick = numbers[1];
    scene.initScene();
    for (std::size_t i = 2; i < numbers.size(); ++i) {
        host.tick = numbers[i];
        scene.stepFrame();
        printFrame(i - 1, scene);
    }
    scene.shutdownScene();
    return 0;
}
