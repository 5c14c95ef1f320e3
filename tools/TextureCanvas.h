#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

class TextFont;

// An RGBA colour, 0..255 per channel.
struct Colour {
    std::uint8_t r, g, b, a = 255;
};

// Blends two colours; amount 0 gives `from`, 1 gives `to`.
Colour mix(Colour from, Colour to, float amount);
// Scales the colour channels (not alpha) by `factor`, clamped to 0..255.
Colour shade(Colour colour, float factor);

// An RGBA image being painted for a model texture; saved as PNG beside the model.
class TextureCanvas {
public:
    TextureCanvas(int width, int height, Colour background);
    ~TextureCanvas();
    TextureCanvas(const TextureCanvas&) = delete;
    TextureCanvas& operator=(const TextureCanvas&) = delete;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    Colour get(int x, int y) const;
    // Writes one pixel; coordinates wrap around so patterns tile seamlessly.
    void set(int x, int y, Colour colour);
    // Blends `colour` over the pixel by its alpha times `coverage`.
    void blend(int x, int y, Colour colour, float coverage = 1.0f);

    // Rectangle with top-left corner (x, y), blended over what is there.
    void fillRect(int x, int y, int w, int h, Colour colour);
    // Outline of a rectangle, `thickness` pixels wide, inside its bounds.
    void strokeRect(int x, int y, int w, int h, int thickness, Colour colour);
    void fillCircle(float centreX, float centreY, float radius, Colour colour);
    void strokeCircle(float centreX, float centreY, float radius, float thickness, Colour colour);
    void drawLine(float fromX, float fromY, float toX, float toY, float thickness, Colour colour);

    // Word-wrapped, centred text in the rectangle, as large as fits up to `largestSize` points.
    void drawText(TextFont& font, const std::string& text, int x, int y, int w, int h,
                  int largestSize, Colour colour);

    bool savePng(const std::string& path) const;

private:
    int width;
    int height;
    SDL_Surface* surface;
};
