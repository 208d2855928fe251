#include "renderer/renderer_program.h"

namespace tamaruka {

RendererProgram::RendererProgram(RendererPlatform& platform, SceneGraphics& graphics,
                                 MonotonicClock& clock, std::size_t nodeLimit)
    : platform_(platform), graphics_(graphics), clock_(clock), scene_(*this, nodeLimit) {}

int RendererProgram::winMain() {
    if (!createRendererWindow(Title, ScreenWidth, ScreenHeight, 0)) return 1;
    attachRenderer();
    return runMessageLoop();
}

// Style 0 is the full-screen pop-up; any other style keeps the desktop's mode
// and cursor.
bool RendererProgram::createRendererWindow(const std::string& title, int width, int height,
                                           int style) {
    const bool fullScreenStyle = style == 0;
    if (fullScreenStyle) {
        enterFullScreen();
        platform_.showCursor(false);
        cursorHidden_ = true;
    }
    return platform_.createWindow(title, width, height, fullScreenStyle && displayChanged_);
}

void RendererProgram::enterFullScreen() {
    if (!platform_.readDisplayMode()) {
        // Runs on in the desktop's mode, the window in the top-left corner.
        platform_.showErrorBox("Could Not Enum Display Settings", false);
        return;
    }
    if (!platform_.switchDisplayMode(ScreenWidth, ScreenHeight)) {
        platform_.showErrorBox("Display Mode Not Compatible", false);
        postQuitMessage(0);
        return;
    }
    displayChanged_ = true;
}

void RendererProgram::attachRenderer() {
    int width = 0;
    int height = 0;
    platform_.clientSize(width, height);
    initGL(width, height);
}

void RendererProgram::initGL(int width, int height) {
    if (!setupPixelFormat()) postQuitMessage(0);
    // Once start-up has failed the loop ends before its first frame, so the
    // context and the scene would serve no purpose.
    if (quitPosted_) return;
    renderContext_ = platform_.createRenderContext();
    if (!renderContext_) {
        postQuitMessage(0);
        return;
    }
    graphics_.resizeScene(width, height);
    scene_.initScene();
    // The refresh of the mode now on the display; 60 Hz when it does not say.
    pacer_.emplace(FramePacer::periodForRefresh(platform_.refreshRate()), clock_);
}

bool RendererProgram::setupPixelFormat() {
    switch (platform_.setupPixelFormat(ColorBits, ColorBits)) {
    case PixelFormatResult::Set:
        return true;
    case PixelFormatResult::ChooseFailed:
        platform_.showErrorBox("ChoosePixelFormat failed", false);
        return false;
    case PixelFormatResult::SetFailed:
        platform_.showErrorBox("SetPixelFormat failed", false);
        return false;
    }
    return false;
}

// One message a pass; a frame only on a pass that finds the queue empty. The
// quit request is taken once no message is waiting, before any further frame.
int RendererProgram::runMessageLoop() {
    for (;;) {
        if (auto message = platform_.pollMessage()) {
            rendererWindowProc(*message);
            continue;
        }
        if (quitPosted_) return quitCode_;
        if (!frameIsDue()) continue;
        scene_.stepFrame();
    }
}

// No more frames than the display shows: a frame about to be drawn waits for
// its display period, taking any message that arrives meanwhile first. The
// frame keeps its slot, so the wait resumes after the message. Where the
// buffer swap already waits for the display the slot has come by then.
bool RendererProgram::frameIsDue() {
    if (!pacer_) return true;
    using Clock = FramePacer::Clock;
    if (!nextFrameAt_) {
        const Clock::time_point now = clock_.now();
        nextFrameAt_ = now + pacer_->delayBeforeNextFrame(now);
    }
    const Clock::time_point now = clock_.now();
    if (now < *nextFrameAt_) {
        if (auto message = platform_.waitMessage(*nextFrameAt_ - now)) {
            rendererWindowProc(*message);
            return false;
        }
        if (clock_.now() < *nextFrameAt_) return false;
    }
    nextFrameAt_.reset();
    return true;
}

void RendererProgram::rendererWindowProc(const RendererMessage& message) {
    switch (message.kind) {
    case RendererMessage::KeyDown:
        // Other keys are swallowed.
        if (message.escape) killRendererWindow();
        break;
    case RendererMessage::WindowDestroyed:
        killRendererWindow();
        break;
    case RendererMessage::MouseMove:
        // Ten moves are tolerated (the window's appearance under the pointer
        // brings one); the eleventh and every later one ends the renderer.
        if (mouseMoveCount_ >= 10) {
            killRendererWindow();
        } else {
            mouseMoveCount_ += 1;
        }
        break;
    case RendererMessage::KeyUp:
    case RendererMessage::Other:
        break;
    }
}

// Messages already queued can run this again before the quit is taken; each
// resource is released only once.
void RendererProgram::killRendererWindow() {
    scene_.shutdownScene();
    if (renderContext_) {
        platform_.deleteRenderContext();
        renderContext_ = false;
    }
    if (!displayRestored_) {
        platform_.restoreDisplayMode();
        displayRestored_ = true;
    }
    if (cursorHidden_) {
        platform_.showCursor(true);
        cursorHidden_ = false;
    }
    postQuitMessage(0);
}

void RendererProgram::postQuitMessage(int exitCode) {
    quitPosted_ = true;
    quitCode_ = exitCode;
}

std::uint32_t RendererProgram::tickCount() { return platform_.tickCount(); }

std::uint32_t RendererProgram::calendarSeconds() { return platform_.calendarSeconds(); }

void RendererProgram::loadSpriteTexture() {
    spriteTexture_ = graphics_.loadSpriteTexture(platform_);
    spriteTextureLoaded_ = true;
}

void RendererProgram::deleteSpriteTexture() {
    // The texture goes with the context: only while it is current, and once.
    if (!spriteTextureLoaded_ || !renderContext_) return;
    graphics_.deleteSpriteTexture(spriteTexture_);
    spriteTextureLoaded_ = false;
}

void RendererProgram::drawFrame(const Scene& scene) {
    graphics_.drawFrame(scene.particles, spriteTexture_);
    platform_.swapBuffers();
}

}  // namespace tamaruka
