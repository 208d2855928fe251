// The renderer's frame on Mesa (llvmpipe) against a minimal loop that draws
// the same quads. A fixed seed's fireworks run at simulated 60 Hz for 20 s;
// the two loops take turns in blocks of 100 frames so that both see the same
// machine load. Prints CPU milliseconds per frame (all threads of this
// process, which includes llvmpipe's) and the ratio. Uses $DISPLAY, or a
// private Xvfb when there is none.
#include <GL/gl.h>
#include <SDL.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/renderer_bench_display.h"
#include "fireworks/frame_drawing.h"
#include "fireworks/scene.h"
#include "renderer/sprite_texture.h"

namespace {

constexpr int Frames = 20 * 60;
constexpr int Block = 100;
constexpr std::uint32_t Seed = 20240601;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}
double wallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Quad {
    float x, y, z, red, green, blue, alpha, halfSize;
};

// Ticks of a 60 Hz display; drawing is optional (the recording pass has none).
class SixtyHertzHost : public tamaruka::SceneHost {
public:
    SixtyHertzHost(SDL_Window* window, unsigned int texture) : window_(window), texture_(texture) {}
    int frame = 0;
    std::uint32_t tickCount() override { return static_cast<std::uint32_t>(frame * 1000 / 60); }
    std::uint32_t calendarSeconds() override { return Seed; }
    void loadSpriteTexture() override {}
    void deleteSpriteTexture() override {}
    void drawFrame(const tamaruka::Scene& scene) override {
        if (!window_) return;
        tamaruka::drawFrame(scene.particles, texture_);
        SDL_GL_SwapWindow(window_);
    }

private:
    SDL_Window* window_;
    unsigned int texture_;
};

void drawMinimal(const std::vector<Quad>& quads, unsigned int texture, SDL_Window* window) {
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, texture);
    glTranslatef(0.0f, 0.0f, -60.0f);
    for (const Quad& q : quads) {
        const float s = q.halfSize;
        glColor4f(q.red, q.green, q.blue, q.alpha);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2d(1, 1);
        glVertex3f(q.x + s, q.y + s, q.z);
        glTexCoord2d(0, 1);
        glVertex3f(q.x - s, q.y + s, q.z);
        glTexCoord2d(1, 0);
        glVertex3f(q.x + s, q.y - s, q.z);
        glTexCoord2d(0, 0);
        glVertex3f(q.x - s, q.y - s, q.z);
        glEnd();
    }
    SDL_GL_SwapWindow(window);
}

}  // namespace

int main() {
    const auto xvfb = tamaruka::bench::displayOrPrivateXvfb();
    setenv("XDG_CACHE_HOME", tamaruka::bench::cacheFolderWithSprite("tamaruka-frame-bench").c_str(), 1);

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "frame_benchmark: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
    SDL_Window* window = SDL_CreateWindow("frame benchmark", 0, 0, 1024, 768,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "frame_benchmark: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(1);
    tamaruka::resizeScene(1024, 768);
    const unsigned int texture = tamaruka::loadSpriteTexture(
        [](const std::string& text) { std::fprintf(stderr, "sprite: %s\n", text.c_str()); });

    // The quads of every frame, from a headless run of the same seed.
    std::vector<std::vector<Quad>> recorded(Frames + 1);
    {
        SixtyHertzHost host(nullptr, 0);
        tamaruka::Scene scene(host);
        scene.initScene();
        for (int i = 1; i <= Frames; ++i) {
            host.frame = i;
            scene.stepFrame();
            for (const tamaruka::Particle* p = scene.particles.head(); p; p = p->next) {
                recorded[i].push_back({p->x, p->y, p->z, p->red, p->green, p->blue, p->alpha, p->halfSize});
            }
        }
    }

    SixtyHertzHost host(window, texture);
    tamaruka::Scene scene(host);
    scene.initScene();
    double oursCpu = 0, oursWall = 0, minimalCpu = 0, minimalWall = 0;
    double particles = 0;
    bool same = true;
    for (int first = 1; first <= Frames; first += Block) {
        const int last = std::min(Frames, first + Block - 1);
        double cpu = cpuSeconds(), wall = wallSeconds();
        for (int i = first; i <= last; ++i) {
            host.frame = i;
            scene.stepFrame();
            particles += double(scene.particles.size());
            same = same && scene.particles.size() == recorded[i].size();
        }
        oursCpu += cpuSeconds() - cpu;
        oursWall += wallSeconds() - wall;
        cpu = cpuSeconds(), wall = wallSeconds();
        for (int i = first; i <= last; ++i) drawMinimal(recorded[i], texture, window);
        minimalCpu += cpuSeconds() - cpu;
        minimalWall += wallSeconds() - wall;
    }
    scene.shutdownScene();
    tamaruka::deleteSpriteTexture(texture);

    std::printf("frames                      %d (20 s at 60 Hz, seed %u)\n", Frames, Seed);
    std::printf("mean particles              %.1f%s\n", particles / Frames,
                same ? "" : " (the recorded frames differ!)");
    std::printf("renderer frame CPU          %.2f ms   (wall %.2f ms)\n", 1e3 * oursCpu / Frames,
                1e3 * oursWall / Frames);
    std::printf("minimal loop CPU            %.2f ms   (wall %.2f ms)\n", 1e3 * minimalCpu / Frames,
                1e3 * minimalWall / Frames);
    std::printf("ratio renderer / minimal    %.3f (CPU), %.3f (wall)\n", oursCpu / minimalCpu,
                oursWall / minimalWall);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return same ? 0 : 1;
}
