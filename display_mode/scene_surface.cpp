#include "display_mode/scene_surface.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <variant>

#include "dib/dib_decoder.h"
#include "display_mode/view_field.h"
#include "fireworks/frame_drawing.h"
#include "fireworks/sprite_bitmap.h"
#include "fireworks/sprite_texture_image.h"

namespace tamaruka {

namespace {

std::uint64_t steadyMilliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SceneSurface::SceneSurface(FramePresenter& presenter, int width, int height, const Settings& settings)
    : presenter_(presenter), settings_(settings), scene_(*this), clock_(steadyMilliseconds()), width_(width),
      height_(height) {
    presenter_.beginFrame();
    drawsOnCpu_ = presenter_.frameImage(width_, height_) != nullptr;
    if (settings_.printFrameSteps) std::fprintf(stderr, "drawing %s\n", presenter_.drawingName().c_str());
    if (settings_.showFps && !drawsOnCpu_) fps_ = presenter_.makeFpsOverlay();
    sizeChanged_ = true;
    scene_.initScene();  // makes the composer or the texture
    followSize();
}

SceneSurface::~SceneSurface() { shutdown(true); }

void SceneSurface::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    sizeChanged_ = true;
}

void SceneSurface::drawFrame(const std::string& fpsText) {
    presenter_.beginFrame();
    followSize();
    scene_.stepFrame();  // draws through drawFrame(const Scene&)
    if (settings_.printFrameSteps)
        std::fprintf(stderr, "frame step %u ms\n", scene_.currentTick - scene_.previousTick);
    if (settings_.showFps) {
        const std::string text = fpsText + "\nDrawing: " + presenter_.drawingName();
        if (fps_) fps_->draw(text, width_, height_);
        presenter_.setOverlayText(text);
    }
    presenter_.present();
}

void SceneSurface::followSize() {
    if (!sizeChanged_) return;
    const double field = verticalFieldOfView(width_, height_);
    if (composer_) composer_->resize(width_, height_, field);
    else resizeScene(width_, height_, field);
    sizeChanged_ = false;
}

void SceneSurface::shutdown(bool windowAlive) {
    if (shutDown_) return;
    shutDown_ = true;
    deleteGlObjects_ = windowAlive;
    if (windowAlive) presenter_.beginFrame();
    scene_.shutdownScene();
    if (fps_ && !windowAlive) fps_->forgetLists();
    fps_.reset();
}

std::uint32_t SceneSurface::tickCount() { return clock_.tick(steadyMilliseconds()); }

std::uint32_t SceneSurface::calendarSeconds() {
    const std::uint32_t seed = static_cast<std::uint32_t>(std::time(nullptr)) + settings_.seedOffset;
    if (settings_.printFrameSteps) std::fprintf(stderr, "random seed %u\n", seed);
    return seed;
}

void SceneSurface::loadSpriteTexture() {
    std::optional<DibImage> image;
    auto decoded = decodeDib(spriteBitmap());
    if (auto* bitmap = std::get_if<DibImage>(&decoded)) image = std::move(*bitmap);
    if (!drawsOnCpu_) {
        spriteTexture_ = createSpriteTexture(image);
        return;
    }
    // The built-in sprite is square with a power-of-two side: its chain is
    // always exact. Without one the squares draw plain, as without a texture.
    auto sprite = SpriteMipChain::build(image);
    if (!sprite) sprite = SpriteMipChain::build(std::nullopt);
    composer_ = std::make_unique<FrameComposer>(std::move(*sprite));
}

void SceneSurface::deleteSpriteTexture() {
    if (deleteGlObjects_ && !drawsOnCpu_) tamaruka::deleteSpriteTexture(spriteTexture_);
}

// Fans: the same squares, and on llvmpipe in a window without a depth buffer
// (--window, --fullscreen) about a fifth less CPU a frame.
void SceneSurface::drawFrame(const Scene& scene) {
    if (!composer_) {
        tamaruka::drawFrame(scene.particles, spriteTexture_, SquarePrimitive::TriangleFan);
        return;
    }
    if (const FrameImage* image = presenter_.frameImage(width_, height_)) {
        composer_->compose(scene.particles, *image);
        presenter_.setChangedColumns(composer_->changedColumns());
    }
}

}  // namespace tamaruka
