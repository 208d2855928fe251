#include "common/software_gl_threads.h"

#include <cstdlib>

namespace tamaruka {

bool fillsOnDrawingThread(std::int64_t framePixels) { return framePixels <= OneThreadPixelLimit; }

void chooseSoftwareGlThreads(std::int64_t framePixels) {
    if (fillsOnDrawingThread(framePixels)) setenv("LP_NUM_THREADS", "0", 0);  // 0: never overwrite
}

}  // namespace tamaruka
