// The parts of one tamaruka frame on Mesa's llvmpipe, at 1024 x 768 and
// 1920 x 1080 on private Xvfb servers: composing it on the CPU alone, putting
// the composed image into a window alone (MIT-SHM, the rows' changed columns
// in bands and now and then the whole image, as tamaruka presents it),
// and the same frame drawn by OpenGL in a window with a depth buffer (as the
// hosts' windows have) and swapped. The frames are the same recorded scene
// for all three (seed 1, 1/60 s steps, frames 301 onwards). CPU per frame is
// the process's own (all threads, llvmpipe's workers among them) plus the
// Xvfb's, in ms. Figures in bench/README.md.
//
//   frame_cost_benchmark [--frames N]   (default 600)
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <variant>
#include <vector>

#include "bench/display_mode_bench_tools.h"
#include "dib/dib_decoder.h"
#include "fireworks/frame_composer.h"
#include "fireworks/frame_drawing.h"
#include "fireworks/scene.h"
#include "fireworks/stepped_scene_host.h"
#include "fireworks/sprite_bitmap.h"
#include "fireworks/sprite_texture_image.h"
#include "harness/harness.h"

// Last: the X headers' macros clash with GoogleTest's names.
#include <GL/gl.h>
#include <GL/glx.h>

#include "display_mode/x_image_presenter.h"

namespace {

using namespace tamaruka;

using Recording = std::vector<std::vector<Particle>>;  // each frame's particles, oldest first

Recording record(int frames) {
    SteppedSceneHost host(1);
    Scene scene(host);
    scene.initScene();
    Recording recording;
    for (int k = 1; k <= 300 + frames; ++k) {
        host.tick = static_cast<std::uint32_t>(k * 1000ull / 60);
        scene.stepFrame();
        if (k <= 300) continue;
        std::vector<Particle> particles;
        for (const Particle* p = scene.particles.head(); p; p = p->next) particles.push_back(*p);
        recording.emplace_back(particles.rbegin(), particles.rend());
    }
    return recording;
}

void fill(ParticleList& list, const std::vector<Particle>& particles) {
    list.clear();
    for (const Particle& p : particles) list.spawn(p);
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

std::optional<DibImage> sprite() {
    auto decoded = decodeDib(spriteBitmap());
    if (auto* image = std::get_if<DibImage>(&decoded)) return std::move(*image);
    return std::nullopt;
}

struct Cost {
    double own = 0, server = 0;  // ms a frame
};

// Runs `prepare` (not counted) and `work` (counted) for every frame.
Cost measure(const Recording& recording, int serverPid, const std::function<void(const ParticleList&)>& prepare,
             const std::function<void(const ParticleList&)>& work) {
    ParticleList list;
    double own = 0;
    const double server0 = bench::processCpuSeconds(serverPid);
    for (const auto& frame : recording) {
        fill(list, frame);
        prepare(list);
        const double before = processCpuSeconds();
        work(list);
        own += processCpuSeconds() - before;
    }
    const double frames = double(recording.size());
    return {1e3 * own / frames, 1e3 * (bench::processCpuSeconds(serverPid) - server0) / frames};
}

Window makeWindow(Display* display, Visual* visual, int depth, int width, int height) {
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, DefaultRootWindow(display), visual, AllocNone);
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height),
                                        0, depth, InputOutput, visual, CWColormap | CWBackPixel | CWBorderPixel,
                                        &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    return window;
}

void report(const char* label, const Cost& cost) {
    std::printf("  %-38s %6.2f + %5.2f = %6.2f ms\n", label, cost.own, cost.server, cost.own + cost.server);
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 600;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--frames") == 0) frames = std::max(1, std::atoi(argv[i + 1]));
    const Recording recording = record(frames);
    std::size_t particles = 0;
    for (const auto& frame : recording) particles += frame.size();
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("%d frames, %.0f particles a frame on average; load average at start %.2f\n\n", frames,
                double(particles) / frames, load[0]);

    struct Size {
        int width, height;
    };
    for (const Size size : {Size{1024, 768}, Size{1920, 1080}}) {
        test::XvfbDisplay xvfb(size.width, size.height);
        setenv("DISPLAY", xvfb.name().c_str(), 1);
        const int server = bench::childXvfbPid();
        Display* display = XOpenDisplay(nullptr);
        const int screen = DefaultScreen(display);
        std::printf("%d x %d, CPU a frame: own + Xvfb = sum\n", size.width, size.height);

        FrameComposer composer(*SpriteMipChain::build(sprite()));
        composer.resize(size.width, size.height, 45.0);
        std::vector<std::uint8_t> memory(std::size_t(size.width) * size.height * 4);
        const FrameImage image{memory.data(), size.width, size.height, std::size_t(size.width) * 4};
        report("composing on the CPU", measure(recording, server, [](const ParticleList&) {},
                                                [&](const ParticleList& list) { composer.compose(list, image); }));

        const Window plain = makeWindow(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                                        size.width, size.height);
        {
            XImagePresenter presenter(display, plain, DefaultVisual(display, screen), DefaultDepth(display, screen));
            const FrameImage* shared = presenter.frameImage(size.width, size.height);
            const std::string label = "putting it (" + presenter.drawingName() + ")";
            report(label.c_str(), measure(recording, server,
                                          [&](const ParticleList& list) {
                                              composer.compose(list, *shared);
                                              presenter.setChangedColumns(composer.changedColumns());
                                          },
                                          [&](const ParticleList&) { presenter.present(); }));
        }

        int glAttributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                              GLX_DEPTH_SIZE, 24, None};
        XVisualInfo* info = glXChooseVisual(display, screen, glAttributes);
        const Window glWindow = makeWindow(display, info->visual, info->depth, size.width, size.height);
        GLXContext context = glXCreateContext(display, info, nullptr, True);
        XFree(info);
        glXMakeCurrent(display, glWindow, context);
        const unsigned int texture = createSpriteTexture(sprite());
        resizeScene(size.width, size.height, 45.0);
        report("GL frame, depth buffer, swapped", measure(recording, server, [](const ParticleList&) {},
                                                          [&](const ParticleList& list) {
                                                              drawFrame(list, texture, SquarePrimitive::TriangleFan);
                                                              glXSwapBuffers(display, glWindow);
                                                              glFinish();
                                                          }));
        deleteSpriteTexture(texture);
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
        XCloseDisplay(display);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
