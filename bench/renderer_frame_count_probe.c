/* Preloaded into Tamaruka.data by bench/renderer_frame_rate.sh: counts the
   presented frames in the first 8 bytes of the file named by
   TAMARUKA_FRAME_COUNT_FILE (a little-endian 64-bit count, kept in a shared
   mapping so that it can be read while the renderer runs). Changes nothing else. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

typedef void (*SwapWindow)(void*);

static volatile uint64_t* counter(void) {
    static volatile uint64_t* count;
    static int tried;
    if (tried) return count;
    tried = 1;
    const char* path = getenv("TAMARUKA_FRAME_COUNT_FILE");
    if (!path) return NULL;
    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return NULL;
    if (ftruncate(fd, 8) == 0) {
        void* view = mmap(NULL, 8, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view != MAP_FAILED) count = view;
    }
    close(fd);
    return count;
}

void SDL_GL_SwapWindow(void* window) {
    static SwapWindow real;
    if (!real) real = (SwapWindow)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    volatile uint64_t* count = counter();
    if (count) ++*count;
}
