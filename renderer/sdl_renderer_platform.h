#pragma once
#include <SDL.h>

#include "common/stop_signals.h"
#include "renderer/message_box_sweep.h"
#include "renderer/renderer_platform.h"

struct _XDisplay;  // Xlib's Display, kept out of this header

namespace tamaruka {

// The renderer's platform on SDL2 with an OpenGL window.
class SdlRendererPlatform : public RendererPlatform {
public:
    SdlRendererPlatform();
    ~SdlRendererPlatform() override;
    SdlRendererPlatform(const SdlRendererPlatform&) = delete;
    SdlRendererPlatform& operator=(const SdlRendererPlatform&) = delete;

    bool readDisplayMode() override;
    bool switchDisplayMode(int width, int height) override;
    void restoreDisplayMode() override;
    void showCursor(bool visible) override;
    bool createWindow(const std::string& title, int width, int height, bool fullScreen) override;
    void clientSize(int& width, int& height) override;
    PixelFormatResult setupPixelFormat(int colorBits, int depthBits) override;
    bool createRenderContext() override;
    void deleteRenderContext() override;
    void swapBuffers() override;
    double refreshRate() override;
    std::optional<RendererMessage> pollMessage() override;
    std::optional<RendererMessage> waitMessage(std::chrono::nanoseconds timeout) override;
    void showErrorBox(const std::string& text, bool ownedByWindow) override;
    std::uint32_t tickCount() override;
    std::uint32_t calendarSeconds() override;

private:
    void noteXWindow(const std::string& title);
    template <typename Call>
    bool withWindowHeld(Call call);
    RendererMessage translate(const SDL_Event& event);
    std::optional<RendererMessage> stopMessage();

    // SIGTERM, SIGINT and SIGHUP are ours: they must also end an error box.
    StopSignals stopSignals_{&sweepMessageBoxChildren};
    bool videoReady_ = false;
    bool stopTaken_ = false;
    bool windowLost_ = false;  // destroyed by another client
    ::_XDisplay* xDisplay_ = nullptr;
    unsigned long xWindow_ = 0;
    SDL_DisplayMode desktopMode_{};
    SDL_DisplayMode fullScreenMode_{};
    SDL_Window* window_ = nullptr;
    bool fullScreen_ = false;
    bool glWindow_ = false;
    int depthBits_ = 0;
    SDL_GLContext context_ = nullptr;
};

}  // namespace tamaruka
