// frame_snapshot --seed N --frame K --size WxH --drawing gl|cpu OUT.ppm:
// runs the fireworks from seed N for K frames of 1/60 s and writes frame K,
// drawn by OpenGL (off screen on the current X display) or by the CPU frame
// composer, as a binary PPM. The tests compare the two drawings with it.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "dib/dib_decoder.h"
#include "display_mode/view_field.h"
#include "fireworks/frame_composer.h"
#include "fireworks/scene.h"
#include "fireworks/stepped_scene_host.h"
#include "fireworks/sprite_bitmap.h"
#include "frame_snapshot_gl.h"

namespace {

using namespace tamaruka;

struct Options {
    std::uint32_t seed = 0;
    std::uint32_t frame = 0;
    int width = 0, height = 0;
    std::string drawing;
    std::string output;
};

bool parseNumber(const char* text, unsigned long long limit, unsigned long long& value) {
    if (!text || *text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value <= limit;
}

bool parseSize(const char* text, int& width, int& height) {
    unsigned w = 0, h = 0;
    char tail = 0;
    if (!text || std::sscanf(text, "%ux%u%c", &w, &h, &tail) != 2) return false;
    if (w == 0 || h == 0 || w > 16384 || h > 16384) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool parse(int argc, char** argv, Options& options) {
    bool seed = false, frame = false, size = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long number = 0;
        if (arg == "--seed" && parseNumber(value, 0xFFFFFFFFull, number)) {
            options.seed = static_cast<std::uint32_t>(number);
            seed = true;
            ++i;
        } else if (arg == "--frame" && parseNumber(value, 1000000, number)) {
            options.frame = static_cast<std::uint32_t>(number);
            frame = true;
            ++i;
        } else if (arg == "--size" && parseSize(value, options.width, options.height)) {
            size = true;
            ++i;
        } else if (arg == "--drawing" && value && (std::strcmp(value, "gl") == 0 || std::strcmp(value, "cpu") == 0)) {
            options.drawing = value;
            ++i;
        } else if (!arg.empty() && arg[0] != '-' && options.output.empty()) {
            options.output = arg;
        } else {
            return false;
        }
    }
    return seed && frame && size && !options.drawing.empty() && !options.output.empty();
}

std::vector<std::uint8_t> composeOnCpu(const ParticleList& particles, int width, int height, double field) {
    std::optional<DibImage> image;
    auto decoded = decodeDib(spriteBitmap());
    if (auto* bitmap = std::get_if<DibImage>(&decoded)) image = std::move(*bitmap);
    auto sprite = SpriteMipChain::build(image);
    if (!sprite) throw std::runtime_error("the sprite has no exact mip chain");
    FrameComposer composer(std::move(*sprite));
    composer.resize(width, height, field);
    std::vector<std::uint8_t> bgrx(static_cast<std::size_t>(width) * height * 4);
    composer.compose(particles, {bgrx.data(), width, height, static_cast<std::size_t>(width) * 4});
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
        rgb[i * 3] = bgrx[i * 4 + 2];
        rgb[i * 3 + 1] = bgrx[i * 4 + 1];
        rgb[i * 3 + 2] = bgrx[i * 4];
    }
    return rgb;
}

bool writePpm(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: frame_snapshot --seed N --frame K --size WxH --drawing gl|cpu OUT.ppm\n");
        return 2;
    }
    SteppedSceneHost host(options.seed);  // the tick advances by 1/60 s a frame
    Scene scene(host);
    scene.initScene();
    for (std::uint32_t k = 1; k <= options.frame; ++k) {
        host.tick = static_cast<std::uint32_t>(k * 1000ull / 60);
        scene.stepFrame();
    }
    const double field = verticalFieldOfView(options.width, options.height);
    try {
        const auto rgb = options.drawing == "gl"
                             ? GlFrameSnapshot(options.width, options.height, field).draw(scene.particles)
                             : composeOnCpu(scene.particles, options.width, options.height, field);
        if (!writePpm(options.output, options.width, options.height, rgb)) {
            std::fprintf(stderr, "frame_snapshot: cannot write %s: %s\n", options.output.c_str(), std::strerror(errno));
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "frame_snapshot: %s\n", error.what());
        return 1;
    }
    std::printf("particles %zu\n", scene.particles.size());
    scene.shutdownScene();
    return 0;
}
