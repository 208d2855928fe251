#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "display_mode/fps_overlay.h"
#include "display_mode/frame_presenter.h"
#include "display_mode/step_clock.h"
#include "fireworks/scene.h"

namespace tamaruka {

// One window with its own fireworks: the scene, its clamped clock and the
// built-in sprite, drawn with OpenGL and shown through the window's
// presenter. The window layer reports the window's size.
class SceneSurface : private SceneHost {
public:
    struct Settings {
        std::uint32_t seedOffset = 0;  // added to the time: each scene's fireworks differ
        bool showFps = false;
        bool printFrameSteps = false;  // test aid: each frame's step on stderr
    };

    // `presenter` outlives the surface.
    SceneSurface(FramePresenter& presenter, int width, int height, const Settings& settings);
    ~SceneSurface() override;
    SceneSurface(const SceneSurface&) = delete;
    SceneSurface& operator=(const SceneSurface&) = delete;

    void resize(int width, int height);
    bool readyForFrame() const { return presenter_.readyForFrame(); }

    // Advances the scene, draws it (with the --fps text) and shows the frame.
    void drawFrame(const std::string& fpsText);

    // Frees the particles and the GL objects; with the window already gone
    // the objects go with the context instead.
    void shutdown(bool windowAlive);

private:
    std::uint32_t tickCount() override;
    std::uint32_t calendarSeconds() override;
    void loadSpriteTexture() override;
    void deleteSpriteTexture() override;
    void drawFrame(const Scene& scene) override;

    FramePresenter& presenter_;
    Settings settings_;
    Scene scene_;
    ClampedTickClock clock_;
    std::unique_ptr<FpsOverlay> fps_;
    unsigned int spriteTexture_ = 0;
    bool deleteGlObjects_ = true;
    bool shutDown_ = false;
    int width_ = 1, height_ = 1;
    bool sizeChanged_ = true;
};

}  // namespace tamaruka
