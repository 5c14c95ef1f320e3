#pragma once

#include <GL/glew.h>
#include <SDL.h>

#include <cstdint>
#include <vector>

// A hidden 800 x 600 OpenGL 3.3 core window with depth and stencil, for tests that draw.
// Runs on Mesa's llvmpipe under Xvfb (the suite is started inside xvfb-run).
class HeadlessContext {
public:
    HeadlessContext();
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    bool ok() const { return context != nullptr; }
    // Resizes the window as a player would drag its edge; SDL allows it on a hidden window too.
    void resize(int width, int height);

    // RGBA of one pixel of the default framebuffer (origin bottom left, as OpenGL counts).
    struct Pixel {
        int r, g, b, a;
    };
    Pixel pixel(int x, int y) const;
    // The whole 800 x 600 colour buffer, RGBA, bottom row first.
    std::vector<std::uint8_t> readColour() const;
    // Saves the colour buffer as a PNG (for looking at what a test saw).
    void savePng(const char* path) const;

private:
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};
