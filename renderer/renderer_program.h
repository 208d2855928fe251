#pragma once
#include <cstdint>
#include <string>

#include "renderer/renderer_platform.h"
#include "fireworks/scene.h"

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

    RendererProgram(RendererPlatform& platform, SceneGraphics& graphics,
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

    RendererPlatform& platform_;
    SceneGraphics& graphics_;
    Scene scene_;
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
