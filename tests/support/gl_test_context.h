#pragma once
// A hidden SDL window with a current OpenGL context (Mesa on the private Xvfb),
// for tests that draw or upload textures and read the result back.
#include <SDL.h>

#include <string>

namespace tamaruka::test {

class HiddenGlContext {
public:
    // depthBits < 0 keeps SDL's default depth buffer.
    HiddenGlContext(const std::string& title, int width, int height, int depthBits = -1) {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            error_ = SDL_GetError();
            return;
        }
        if (depthBits >= 0) SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
        window_ = SDL_CreateWindow(title.c_str(), 0, 0, width, height,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window_) context_ = SDL_GL_CreateContext(window_);
        if (!context_) error_ = SDL_GetError();
    }
    ~HiddenGlContext() {
        if (context_) SDL_GL_DeleteContext(context_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
    }
    HiddenGlContext(const HiddenGlContext&) = delete;
    HiddenGlContext& operator=(const HiddenGlContext&) = delete;

    bool ready() const { return context_ != nullptr; }
    const std::string& error() const { return error_; }  // SDL's reason when not ready

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    std::string error_;
};

}  // namespace tamaruka::test
