/* Preloaded into Tamaruka.data by renderer_startup_benchmark: notes the
   monotonic time at which the first frame has been presented, in the file
   named by TAMARUKA_FIRST_FRAME_FILE. Changes nothing else. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef void (*SwapWindow)(void*);

void SDL_GL_SwapWindow(void* window) {
    static SwapWindow real;
    static int presented;
    if (!real) real = (SwapWindow)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    if (presented) return;
    presented = 1;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* path = getenv("TAMARUKA_FIRST_FRAME_FILE");
    if (!path) return;
    char partial[4096];
    snprintf(partial, sizeof partial, "%s.part", path);
    FILE* file = fopen(partial, "w");
    if (!file) return;
    fprintf(file, "%lld %ld\n", (long long)now.tv_sec, now.tv_nsec);
    fclose(file);
    rename(partial, path);
}
