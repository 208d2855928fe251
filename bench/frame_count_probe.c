/* Preloaded by display_mode_benchmark into the program it measures: counts the
   frames it presents in a small file that the benchmark maps too, named by
   TAMARUKA_FRAME_COUNTER_FILE. Slots (64-bit): 0 monotonic time of the first
   frame in ns, 1 SDL_GL_SwapWindow calls (Tamaruka.data), 2 XPutImage calls
   (xscreensaver's Xlib hacks such as fireworkx put one image a frame),
   3 glXSwapBuffers calls (tamaruka on X11 drawing with GL), 4 eglSwapBuffers
   calls (tamaruka on Wayland), 5 XShmPutImage calls and 6 XSync calls
   (tamaruka on X11 composing its frames on the CPU puts a frame in bands and
   syncs once), 7 wl_callback listeners (tamaruka on Wayland composing its
   frames on the CPU asks for one frame callback a frame; not stamped as a
   first frame, since start-up's roundtrips are callbacks too). Changes
   nothing else. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

static volatile uint64_t* counters(void) {
    static volatile uint64_t* mapped;
    static int tried;
    if (tried) return mapped;
    tried = 1;
    const char* path = getenv("TAMARUKA_FRAME_COUNTER_FILE");
    int file = path ? open(path, O_RDWR) : -1;
    if (file < 0) return NULL;
    void* memory = mmap(NULL, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    if (memory != MAP_FAILED) mapped = memory;
    return mapped;
}

static void countOnly(int slot) {
    volatile uint64_t* c = counters();
    if (c) __atomic_fetch_add(&c[slot], 1, __ATOMIC_RELAXED);
}

static void count(int slot) {
    volatile uint64_t* c = counters();
    if (!c) return;
    if (!c[0]) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        c[0] = (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
    }
    __atomic_fetch_add(&c[slot], 1, __ATOMIC_RELAXED);
}

typedef void (*SwapWindow)(void*);
void SDL_GL_SwapWindow(void* window) {
    static SwapWindow real;
    if (!real) real = (SwapWindow)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    count(1);
}

typedef int (*PutImage)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned);
int XPutImage(void* display, unsigned long drawable, void* gc, void* image, int srcX, int srcY, int dstX, int dstY,
              unsigned width, unsigned height) {
    static PutImage real;
    if (!real) real = (PutImage)dlsym(RTLD_NEXT, "XPutImage");
    int result = real(display, drawable, gc, image, srcX, srcY, dstX, dstY, width, height);
    count(2);
    return result;
}

typedef void (*GlxSwap)(void*, unsigned long);
void glXSwapBuffers(void* display, unsigned long drawable) {
    static GlxSwap real;
    if (!real) real = (GlxSwap)dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    count(3);
}

typedef unsigned (*EglSwap)(void*, void*);
unsigned eglSwapBuffers(void* display, void* surface) {
    static EglSwap real;
    if (!real) real = (EglSwap)dlsym(RTLD_NEXT, "eglSwapBuffers");
    unsigned result = real(display, surface);
    count(4);
    return result;
}

typedef int (*ShmPutImage)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);
int XShmPutImage(void* display, unsigned long drawable, void* gc, void* image, int srcX, int srcY, int dstX,
                 int dstY, unsigned width, unsigned height, int sendEvent) {
    static ShmPutImage real;
    if (!real) real = (ShmPutImage)dlsym(RTLD_NEXT, "XShmPutImage");
    int result = real(display, drawable, gc, image, srcX, srcY, dstX, dstY, width, height, sendEvent);
    count(5);
    return result;
}

typedef int (*Sync)(void*, int);
int XSync(void* display, int discard) {
    static Sync real;
    if (!real) real = (Sync)dlsym(RTLD_NEXT, "XSync");
    int result = real(display, discard);
    count(6);
    return result;
}

typedef int (*AddListener)(void*, void (**)(void), void*);
typedef const char* (*GetClass)(void*);
int wl_proxy_add_listener(void* proxy, void (**implementation)(void), void* data) {
    static AddListener real;
    static GetClass classOf;
    if (!real) real = (AddListener)dlsym(RTLD_NEXT, "wl_proxy_add_listener");
    if (!classOf) classOf = (GetClass)dlsym(RTLD_NEXT, "wl_proxy_get_class");
    int result = real(proxy, implementation, data);
    if (classOf && strcmp(classOf(proxy), "wl_callback") == 0) countOnly(7);
    return result;
}
