// Writes the game's icon for the desktop menu, a tunnel mouth with rails running to a lit door, as
// PNG files in the sizes of the hicolor theme: <folder>/<size>x<size>/apps/marrowdeep.png.
#include "TextureCanvas.h"
#include "ValueNoise.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

const int ICON_SIZES[] = {256, 64};
// The drawing is laid out on a 256 x 256 grid and scaled to each size.
const float GRID = 256.0f;
const float CORNER_RADIUS = 40.0f;

const Colour ROCK = {86, 76, 68};
const Colour ARCH_STONE = {158, 144, 124};
const Colour TUNNEL_DARK = {14, 12, 16};
const Colour DOOR_LIGHT = {255, 214, 120};
const Colour RAIL_STEEL = {186, 186, 196};
const Colour SLEEPER_WOOD = {96, 68, 42};

void paintRock(TextureCanvas& canvas, float scale)
{
    const ValueNoise noise(71, 8);
    for (int y = 0; y < canvas.getHeight(); ++y)
        for (int x = 0; x < canvas.getWidth(); ++x)
            canvas.set(x, y, shade(ROCK, 0.7f + 0.6f * noise.fractal(x / (32 * scale), y / (32 * scale), 3)));
}

// An arch: a half circle on top of a rectangle reaching down to the bottom of the grid.
void fillArch(TextureCanvas& canvas, float scale, float halfWidth, float springY, Colour colour)
{
    const float centreX = GRID / 2;
    canvas.fillCircle(centreX * scale, springY * scale, halfWidth * scale, colour);
    canvas.fillRect(static_cast<int>(std::lround((centreX - halfWidth) * scale)),
                    static_cast<int>(std::lround(springY * scale)),
                    static_cast<int>(std::lround(2 * halfWidth * scale)),
                    static_cast<int>(std::lround((GRID - springY) * scale)), colour);
}

// Two rails from the front edge to the door, with sleepers between them growing closer with distance.
void paintTrack(TextureCanvas& canvas, float scale)
{
    // The canvas wraps around: the rails stop short of the bottom edge by half their width.
    const float nearY = GRID - 3, farY = 170, nearHalf = 46, farHalf = 7;
    for (float depth : {0.06f, 0.3f, 0.5f, 0.66f, 0.78f, 0.87f}) {
        const float y = nearY + (farY - nearY) * depth;
        const float half = nearHalf + (farHalf - nearHalf) * depth + 8 * (1 - depth);
        canvas.drawLine((GRID / 2 - half) * scale, y * scale, (GRID / 2 + half) * scale, y * scale,
                        std::max(1.0f, 6 * (1 - depth) * scale), SLEEPER_WOOD);
    }
    for (float side : {-1.0f, 1.0f})
        canvas.drawLine((GRID / 2 + side * nearHalf) * scale, nearY * scale, (GRID / 2 + side * farHalf) * scale,
                        farY * scale, std::max(1.0f, 5 * scale), RAIL_STEEL);
}

// Clears the corners outside a rounded square, with soft edges.
void roundCorners(TextureCanvas& canvas, float scale)
{
    const float radius = CORNER_RADIUS * scale;
    const float size = static_cast<float>(canvas.getWidth());
    for (int y = 0; y < canvas.getHeight(); ++y)
        for (int x = 0; x < canvas.getWidth(); ++x) {
            const float dx = std::max({radius - (x + 0.5f), x + 0.5f - (size - radius), 0.0f});
            const float dy = std::max({radius - (y + 0.5f), y + 0.5f - (size - radius), 0.0f});
            const float coverage = std::clamp(radius - std::hypot(dx, dy) + 0.5f, 0.0f, 1.0f);
            Colour pixel = canvas.get(x, y);
            pixel.a = static_cast<std::uint8_t>(std::lround(255 * coverage));
            canvas.set(x, y, pixel);
        }
}

void paintIcon(TextureCanvas& canvas)
{
    const float scale = canvas.getWidth() / GRID;
    paintRock(canvas, scale);
    fillArch(canvas, scale, 86, 116, ARCH_STONE);
    fillArch(canvas, scale, 70, 116, TUNNEL_DARK);
    canvas.fillCircle(GRID / 2 * scale, 150 * scale, 34 * scale, Colour{255, 190, 90, 56});
    canvas.fillRect(static_cast<int>(std::lround(116 * scale)), static_cast<int>(std::lround(126 * scale)),
                    static_cast<int>(std::lround(24 * scale)), static_cast<int>(std::lround(44 * scale)), DOOR_LIGHT);
    paintTrack(canvas, scale);
    roundCorners(canvas, scale);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: marrowdeep-icon <output folder>" << std::endl;
        return 2;
    }
    IMG_Init(IMG_INIT_PNG);
    bool written = true;
    for (int size : ICON_SIZES) {
        const std::string folder = std::string(argv[1]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::filesystem::create_directories(folder);
        TextureCanvas icon(size, size, TUNNEL_DARK);
        paintIcon(icon);
        written = icon.savePng(folder + "/marrowdeep.png") && written;
    }
    IMG_Quit();
    if (!written) {
        std::cerr << "The icon could not be written below " << argv[1] << std::endl;
        return 1;
    }
    return 0;
}
