#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "renderer/renderer_platform.h"
#include "tests/support/manual_clock.h"

namespace tamaruka::test {

// A renderer platform and graphics that record every call in one log, with
// switches for each failure and a scripted message queue.
class FakeRendererPlatform : public RendererPlatform, public SceneGraphics {
public:
    std::vector<std::string> log;
    std::deque<RendererMessage> queue;
    // Runs after each presented frame (to queue input as a user would).
    std::function<void(int frame)> afterFrame;
    // The program's clock: only waits move it.
    ManualClock clock;
    // Messages that arrive while the program waits for a frame's period, one
    // a wait, each arrivalDelay into it; a wait with none lasts its timeout.
    std::deque<RendererMessage> arrivals;
    std::chrono::nanoseconds arrivalDelay = std::chrono::milliseconds(5);
    std::vector<std::chrono::nanoseconds> waits;
    double refresh = 0;  // Hz; 0 as Xvfb reports it

    bool displayModeReadable = true;
    bool displayModeAvailable = true;
    bool windowCreatable = true;
    PixelFormatResult pixelFormat = PixelFormatResult::Set;
    std::uint32_t tick = 1000;
    int frames = 0;
    int polls = 0;

    bool readDisplayMode() override { return note("readDisplayMode"), displayModeReadable; }
    bool switchDisplayMode(int w, int h) override {
        note("switchDisplayMode " + std::to_string(w) + "x" + std::to_string(h));
        return displayModeAvailable;
    }
    void restoreDisplayMode() override { note("restoreDisplayMode"); }
    void showCursor(bool visible) override { note(visible ? "showCursor" : "hideCursor"); }
    bool createWindow(const std::string& title, int w, int h, bool fullScreen) override {
        note("createWindow " + title + " " + std::to_string(w) + "x" + std::to_string(h) +
             (fullScreen ? " fullscreen" : " desktop"));
        return windowCreatable;
    }
    void clientSize(int& w, int& h) override { w = 1024, h = 768; }
    PixelFormatResult setupPixelFormat(int colorBits, int depthBits) override {
        note("setupPixelFormat " + std::to_string(colorBits) + " " + std::to_string(depthBits));
        return pixelFormat;
    }
    bool createRenderContext() override { return note("createRenderContext"), true; }
    void deleteRenderContext() override { note("deleteRenderContext"); }
    void swapBuffers() override {
        ++frames;
        ++tick;
        if (afterFrame) afterFrame(frames);
    }
    double refreshRate() override { return refresh; }
    std::optional<RendererMessage> waitMessage(std::chrono::nanoseconds timeout) override {
        waits.push_back(timeout);
        if (arrivals.empty() || arrivalDelay >= timeout) {
            clock.advance(timeout);
            return std::nullopt;
        }
        clock.advance(arrivalDelay);
        RendererMessage m = arrivals.front();
        arrivals.pop_front();
        return m;
    }
    std::optional<RendererMessage> pollMessage() override {
        ++polls;
        if (queue.empty()) return std::nullopt;
        RendererMessage m = queue.front();
        queue.pop_front();
        return m;
    }
    void showErrorBox(const std::string& text, bool owned) override {
        note("error " + text + (owned ? " (window)" : " (no owner)"));
    }
    std::uint32_t tickCount() override { return tick; }
    std::uint32_t calendarSeconds() override { return 7; }

    void resizeScene(int w, int h) override {
        note("resizeScene " + std::to_string(w) + "x" + std::to_string(h));
    }
    void drawFrame(const ParticleList&, unsigned int texture) override {
        if (texture != 42) note("drawFrame with texture " + std::to_string(texture));
    }
    unsigned int loadSpriteTexture(RendererPlatform&) override {
        return note("loadSpriteTexture"), 42;
    }
    void deleteSpriteTexture(unsigned int texture) override {
        note("deleteSpriteTexture " + std::to_string(texture));
    }

    static RendererMessage key(bool escape) { return {RendererMessage::KeyDown, escape}; }
    static RendererMessage of(RendererMessage::Kind kind) { return {kind, false}; }

private:
    void note(const std::string& entry) { log.push_back(entry); }
};

}  // namespace tamaruka::test
