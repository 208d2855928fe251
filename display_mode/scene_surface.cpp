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
    if (settings_.showFps) fps_ = presenter_.makeFpsOverlay();
    resizeScene(width_, height_, verticalFieldOfView(width_, height_));
    sizeChanged_ = false;
    scene_.initScene();
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
    if (sizeChanged_) {
        resizeScene(width_, height_, verticalFieldOfView(width_, height_));
        sizeChanged_ = false;
    }
    scene_.stepFrame();  // draws through drawFrame(const Scene&)
    if (settings_.printFrameSteps)
        std::fprintf(stderr, "frame step %u ms\n", scene_.currentTick - scene_.previousTick);
    if (fps_) fps_->draw(fpsText, width_, height_);
    presenter_.present();
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
    spriteTexture_ = createSpriteTexture(image);
}

void SceneSurface::deleteSpriteTexture() {
    if (deleteGlObjects_) tamaruka::deleteSpriteTexture(spriteTexture_);
}

// Fans: the same squares, and on llvmpipe in a window without a depth buffer
// (--window, --fullscreen) about a fifth less CPU a frame.
void SceneSurface::drawFrame(const Scene& scene) {
    tamaruka::drawFrame(scene.particles, spriteTexture_, SquarePrimitive::TriangleFan);
}

}  // namespace tamaruka
