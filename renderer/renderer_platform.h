#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "fireworks/particle_list.h"

namespace tamaruka {

// One input or window notification taken from the renderer's queue.
struct RendererMessage {
    enum Kind { KeyDown, KeyUp, MouseMove, WindowDestroyed, Other };
    Kind kind = Other;
    bool escape = false;  // KeyDown: the key was Escape
};

enum class PixelFormatResult { Set, ChooseFailed, SetFailed };

// The window, display and input services of the renderer. The program's
// logic sees only this; the real one sits on SDL, the tests use a fake.
class RendererPlatform {
public:
    virtual ~RendererPlatform() = default;

    virtual bool readDisplayMode() = 0;                       // keeps the current mode
    virtual bool switchDisplayMode(int width, int height) = 0;
    virtual void restoreDisplayMode() = 0;
    virtual void showCursor(bool visible) = 0;

    // A borderless window at (0, 0); full screen in the switched mode when asked.
    virtual bool createWindow(const std::string& title, int width, int height,
                              bool fullScreen) = 0;
    virtual void clientSize(int& width, int& height) = 0;

    // A double-buffered RGBA surface with the given colour and depth bits,
    // or the closest the display has.
    virtual PixelFormatResult setupPixelFormat(int colorBits, int depthBits) = 0;
    virtual bool createRenderContext() = 0;  // created and made current
    virtual void deleteRenderContext() = 0;  // released, then deleted
    virtual void swapBuffers() = 0;
    // The display's refresh rate in Hz; 0 when it does not say.
    virtual double refreshRate() = 0;

    virtual std::optional<RendererMessage> pollMessage() = 0;
    // Takes a message that is waiting or arrives within the timeout.
    virtual std::optional<RendererMessage> waitMessage(std::chrono::nanoseconds timeout) = 0;
    virtual void showErrorBox(const std::string& text, bool ownedByWindow) = 0;

    virtual std::uint32_t tickCount() = 0;
    virtual std::uint32_t calendarSeconds() = 0;
};

// The OpenGL side of a frame; needs the render context to be current.
class SceneGraphics {
public:
    virtual ~SceneGraphics() = default;
    virtual void resizeScene(int width, int height) = 0;
    virtual void drawFrame(const ParticleList& particles, unsigned int spriteTexture) = 0;
    // Returns the texture name; loader errors go to the platform's error box.
    virtual unsigned int loadSpriteTexture(RendererPlatform& platform) = 0;
    virtual void deleteSpriteTexture(unsigned int texture) = 0;
};

}  // namespace tamaruka
