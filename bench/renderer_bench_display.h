#pragma once
// What the renderer's Xvfb benchmarks share: a display and a sprite file.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "harness/glow_sprite.h"
#include "harness/harness.h"

namespace tamaruka::bench {

// $DISPLAY when set; otherwise a private Xvfb, which DISPLAY then names and
// which lives as long as the returned object.
inline std::unique_ptr<test::XvfbDisplay> displayOrPrivateXvfb() {
    if (std::getenv("DISPLAY")) return nullptr;
    auto xvfb = std::make_unique<test::XvfbDisplay>();
    setenv("DISPLAY", xvfb->name().c_str(), 1);
    return xvfb;
}

// A new folder to serve as XDG_CACHE_HOME, holding the sprite the renderer reads.
inline std::string cacheFolderWithSprite(const std::string& prefix) {
    const std::string folder = test::makeTempDir(prefix);
    test::writeGlowSprite(std::filesystem::path(folder) / "tamaruka" / "Fireworks.bmp");
    return folder;
}

}  // namespace tamaruka::bench
