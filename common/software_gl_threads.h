#pragma once
#include <cstdint>

namespace tamaruka {

// Mesa's software OpenGL (llvmpipe) fills frames on worker threads, one per
// core, and a frame paced to the display wakes them anew each time. In a
// window without a depth buffer, where llvmpipe fills each square as one
// rectangle, one thread keeps 60 frames a second up to about two million
// pixels for less CPU (tamaruka --window at 1024 x 768 on 2 cores: about a
// sixth less). With a depth buffer, as every host's window has, one thread
// showed no gain. Larger frames need the workers to keep the pace (3840 x
// 2160 on one thread: 29-43 frames a second).
inline constexpr std::int64_t OneThreadPixelLimit = 1920 * 1200;

// Whether frames of `framePixels` pixels in all are filled on the drawing thread.
bool fillsOnDrawingThread(std::int64_t framePixels);

// Keeps llvmpipe on the drawing thread (LP_NUM_THREADS=0) for frames of up to
// OneThreadPixelLimit pixels, unless the user has set LP_NUM_THREADS. Must run
// before the first OpenGL call; other drivers ignore it.
void chooseSoftwareGlThreads(std::int64_t framePixels);

}  // namespace tamaruka
