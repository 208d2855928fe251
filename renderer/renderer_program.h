#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "common/frame_pacer.h"
#include "fireworks/scene.h"
#include "renderer/renderer_platform.h"

namespace tamaruka {

// The renderer program: start-up, the loop that takes one message a pass and
// draws a frame whenever none is waiting, the window procedure and the
// shutdown sequence.
class RendererProgram : private SceneHost {
public:
    static constexpr int ScreenWidth = 1024;
    static constexpr int ScreenHeight = 768;
    static constexpr int ColorBits = 32;
    static constexpr const char* Title = "--Fireworks--";

    // Frames are paced on `clock`.
    RendererProgram(RendererPlatform& platform, SceneGraphics& graphics,
                    MonotonicClock& clock = steadyClock(),
                    std::size_t nodeLimit = ParticleNodePool::NoLimit);

    int winMain();  // the exit code

    bool createRendererWindow(const std::string& title, int width, int height, int style);
    void enterFullScreen();
    void attachRenderer();
    void initGL(int width, int height);
    bool setupPixelFormat();
    int runMessageLoop();
    void rendererWindowProc(const RendererMessage& message);
    void killRendererWindow();

    void postQuitMessage(int exitCode);
    bool quitPosted() const { return quitPosted_; }
    std::uint8_t mouseMoveCount() const { return mouseMoveCount_; }
    const Scene& scene() const { return scene_; }

private:
    std::uint32_t tickCount() override;
    std::uint32_t calendarSeconds() override;
    void loadSpriteTexture() override;
    void deleteSpriteTexture() override;
    void drawFrame(const Scene& scene) override;

    bool frameIsDue();

    RendererPlatform& platform_;
    SceneGraphics& graphics_;
    MonotonicClock& clock_;
    Scene scene_;
    // Paces frames to the display once the context exists.
    std::optional<FramePacer> pacer_;
    // When the next frame may be drawn, once the queue was found empty.
    std::optional<FramePacer::Clock::time_point> nextFrameAt_;
    bool renderContext_ = false;
    bool sceneStarted_ = false;
    bool displayChanged_ = false;
    bool displayRestored_ = false;
    bool cursorHidden_ = false;
    unsigned int spriteTexture_ = 0;
    bool spriteTextureLoaded_ = false;
    std::uint8_t mouseMoveCount_ = 0;
    bool quitPosted_ = false;
    int quitCode_ = 0;
};

}  // namespace tamaruka
