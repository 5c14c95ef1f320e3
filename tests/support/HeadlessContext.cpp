#include "support/HeadlessContext.h"

#include "render/Screenshot.h"

HeadlessContext::HeadlessContext()
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    window = SDL_CreateWindow("Marrowdeep test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window)
        return;
    context = SDL_GL_CreateContext(window);
    if (!context)
        return;
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    if (result != GLEW_OK && result != GLEW_ERROR_NO_GLX_DISPLAY) {
        SDL_GL_DeleteContext(context);
        context = nullptr;
        return;
    }
    glGetError(); // GLEW's probing leaves an error behind on core profiles
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, 800, 600);
}

HeadlessContext::~HeadlessContext()
{
    // The context, the window and SDL stay up until the process ends (each test case has its
    // own process): the graphics driver then stays loaded, so the leak checker of the sanitized
    // build can still name the driver's own allocations at exit.
}

void HeadlessContext::resize(int width, int height)
{
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowSize(window, width, height);
    // Mesa's software drivers take the window's new size at the next swap, as a game would swap.
    SDL_GL_SwapWindow(window);
}

HeadlessContext::Pixel HeadlessContext::pixel(int x, int y) const
{
    std::uint8_t rgba[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

std::vector<std::uint8_t> HeadlessContext::readColour() const
{
    std::vector<std::uint8_t> rgba(800 * 600 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

void HeadlessContext::savePng(const char* path) const
{
    saveScreenshot(path);
}
