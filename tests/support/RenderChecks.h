#pragma once

// What the drawing tests share: the player's view aimed at a point, textures and frames read
// back from the GPU, and a folder of their own for the files they write.
#include "app/Application.h"
#include "game/GameState.h"
#include "physics/Camera.h"
#include "render/FrameTarget.h"
#include "render/Renderer.h"
#include "render/Screenshot.h"
#include "render/WindowSize.h"
#include "support/TestData.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Eye and look-at point of the player; the frustum follows at once, as after a tick.
inline void aim(glm::vec3 eye, glm::vec3 target)
{
    gameState.camera->setPositionAndTarget(eye, target);
    gameState.camera->updateFrustum();
}

// The next frame as the game draws it, read back.
inline std::vector<std::uint8_t> drawnFrame()
{
    gameRenderer().renderFrame(gameFrameView());
    return readFrame(gameRenderer().frameTarget());
}

// Level 0 of a texture, RGBA, its first row first.
struct Texels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

inline Texels texelsOf(GLuint texture)
{
    Texels texels;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texels.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texels.height);
    texels.rgba.resize(static_cast<std::size_t>(texels.width) * texels.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

// A rectangle of window pixels, origin bottom left, right and top edges excluded.
struct PixelArea {
    int left, bottom, right, top;
};
constexpr PixelArea WHOLE_WINDOW{0, 0, WINDOW_WIDTH, WINDOW_HEIGHT};

struct FrameDifference {
    int largest = 0;           // largest channel difference of any pixel
    std::size_t differing = 0; // pixels with a channel differing by more than the tolerance
};

// The colour of the window's centre pixel in the frame being drawn.
inline glm::ivec3 centreColour()
{
    std::uint8_t rgba[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

// Two colour buffers as readFrame gives them, compared within an area.
inline FrameDifference compareFrames(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                                     int tolerance = 0, PixelArea area = WHOLE_WINDOW)
{
    FrameDifference difference;
    for (int y = area.bottom; y < area.top; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * WINDOW_WIDTH + x) * 4;
            const int largest =
                std::max({std::abs(a[i] - b[i]), std::abs(a[i + 1] - b[i + 1]), std::abs(a[i + 2] - b[i + 2])});
            difference.largest = std::max(difference.largest, largest);
            difference.differing += largest > tolerance ? 1 : 0;
        }
    return difference;
}

// The window's whole colour buffer at the drawable size the frame was drawn for, RGBA, bottom
// row first.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    // Mean of the colour channels over a rectangle of pixels.
    double brightness(PixelArea area) const
    {
        double sum = 0;
        for (int y = area.bottom; y < area.top; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
                sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
            }
        return sum / (3.0 * (area.right - area.left) * (area.top - area.bottom));
    }
};

inline Frame readWholeFrame()
{
    return {gameRenderer().frameTarget().drawableSize().x, gameRenderer().frameTarget().drawableSize().y,
            readFrame(gameRenderer().frameTarget())};
}

// Resizes the game's window as a player would drag its edge (SDL allows it on a hidden window
// too); Mesa's software drivers take the new size at the next swap, as the game would swap.
inline void resizeGameWindow(int width, int height)
{
    SDL_SetWindowSize(gameWindow(), width, height);
    SDL_GL_SwapWindow(gameWindow());
}

// Keeps what the test saw (at the target's drawable size) as a PNG below the working folder, for a
// person to look at.
inline void savePicture(const std::filesystem::path& path, const FrameTarget& target = gameRenderer().frameTarget())
{
    std::filesystem::create_directories(path.parent_path());
    saveScreenshot(target, path.string());
}
