// Draws the preview picture: one burst of the renderer's own simulation,
// exposed over a stretch of consecutive frames so that every spark leaves its
// streak, on the black sky, 152 x 112 pixels unless told, saved as PNG.
//
//   make_preview [--seed N] [--kind K] [--from MS] [--to MS] [--size WxH] FILE.png
//
// The committed frontend/resources/preview.png is made with the defaults, the
// menu icons in data/icons with data/icons/make_icons.sh.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include <QImage>

#include "fireworks/sprite_bitmap.h"
#include "make_preview_raster.h"
#include "fireworks/scene.h"

namespace {

using namespace tamaruka;

constexpr int Supersampling = 4;
constexpr int FrameMilliseconds = 16;

// The scene without clock, texture or window: the tool steps it itself.
class StillHost : public SceneHost {
public:
    std::uint32_t tickCount() override { return 0; }
    std::uint32_t calendarSeconds() override { return 0; }
    void loadSpriteTexture() override {}
    void deleteSpriteTexture() override {}
    void drawFrame(const Scene&) override {}
};

struct Options {
    std::uint32_t seed = 31337;
    int kind = SolidBurst;
    int fromMilliseconds = 100;
    int toMilliseconds = 1150;
    int width = 152;
    int height = 112;
    std::string output;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](long& out) {
            if (i + 1 >= argc) return false;
            out = std::strtol(argv[++i], nullptr, 10);
            return true;
        };
        long value = 0;
        if (arg == "--seed" && number(value)) options.seed = static_cast<std::uint32_t>(value);
        else if (arg == "--kind" && number(value)) options.kind = static_cast<int>(value);
        else if (arg == "--from" && number(value)) options.fromMilliseconds = static_cast<int>(value);
        else if (arg == "--to" && number(value)) options.toMilliseconds = static_cast<int>(value);
        else if (arg == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2) return false;
        } else if (!arg.starts_with("--") && options.output.empty()) options.output = arg;
        else return false;
    }
    return !options.output.empty() && options.width > 0 && options.height > 0 && options.width <= 4096 &&
           options.height <= 4096 && options.kind >= MixedBurst && options.kind <= SecondaryBurst;
}

// A rocket at the end of its life, near the camera and a little above the
// middle (its sparks sink as they fade), that bursts on the first update.
Particle dyingRocket(int kind) {
    Particle rocket;
    rocket.x = 0.0f;
    rocket.y = 3.0f;
    rocket.z = 20.0f;
    rocket.red = 99 / 60.0f;  // a red-orange shell: colours are multiples of 1/60
    rocket.green = 33 / 60.0f;
    rocket.blue = 9 / 60.0f;
    rocket.alpha = 0.0501f;
    rocket.fadeRate = 0.005f;
    rocket.halfSize = 1.0f;
    rocket.burstKind = static_cast<std::uint8_t>(kind);
    return rocket;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::cerr << "usage: make_preview [--seed N] [--kind 1-7] [--from MS] [--to MS] [--size WxH] FILE.png\n";
        return 2;
    }
    StillHost host;
    Scene scene(host);
    scene.random.seedRandom(options.seed);
    scene.spawnParticle(dyingRocket(options.kind));

    const preview::SpriteTexture sprite(spriteBitmap());
    const int width = options.width * Supersampling;
    const int height = options.height * Supersampling;
    preview::Canvas exposure(width, height);
    scene.frameStep = FrameMilliseconds * 0.5f;
    for (int elapsed = 0; elapsed <= options.toMilliseconds; elapsed += FrameMilliseconds) {
        scene.updateParticles();
        if (elapsed >= options.fromMilliseconds)
            preview::lighten(exposure, preview::drawFrame(scene.particles, sprite, width, height));
    }
    const preview::Canvas picture = preview::shrink(exposure, Supersampling);

    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (int row = 0; row < picture.height; ++row)
        for (int column = 0; column < picture.width; ++column) {
            const float* rgb = &picture.rgb[(static_cast<std::size_t>(row) * picture.width + column) * 3];
            image.setPixel(column, row,
                           qRgb(static_cast<int>(rgb[0] * 255 + 0.5f), static_cast<int>(rgb[1] * 255 + 0.5f),
                                static_cast<int>(rgb[2] * 255 + 0.5f)));
        }
    if (!image.save(QString::fromStdString(options.output), "PNG")) {
        std::cerr << "make_preview: cannot write " << options.output << '\n';
        return 1;
    }
    return 0;
}
