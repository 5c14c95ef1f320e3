#include "TextureCanvas.h"

#include "TextFont.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace {

std::uint8_t clampChannel(float value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
}

// Splits `text` into lines no wider than `maxWidth` pixels at the font's size.
std::vector<std::string> wrapWords(TTF_Font* font, const std::string& text, int maxWidth)
{
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    std::string line;
    while (words >> word) {
        const std::string candidate = line.empty() ? word : line + " " + word;
        int candidateWidth = 0;
        TTF_SizeUTF8(font, candidate.c_str(), &candidateWidth, nullptr);
        if (candidateWidth > maxWidth && !line.empty()) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace

Colour mix(Colour from, Colour to, float amount)
{
    auto blendChannel = [amount](std::uint8_t a, std::uint8_t b) {
        return clampChannel(static_cast<float>(a) + (static_cast<float>(b) - static_cast<float>(a)) * amount);
    };
    return {blendChannel(from.r, to.r), blendChannel(from.g, to.g), blendChannel(from.b, to.b),
            blendChannel(from.a, to.a)};
}

Colour shade(Colour colour, float factor)
{
    return {clampChannel(colour.r * factor), clampChannel(colour.g * factor), clampChannel(colour.b * factor),
            colour.a};
}

TextureCanvas::TextureCanvas(int width, int height, Colour background)
    : width(width), height(height),
      surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32))
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            set(x, y, background);
}

TextureCanvas::~TextureCanvas()
{
    SDL_FreeSurface(surface);
}

Colour TextureCanvas::get(int x, int y) const
{
    x = ((x % width) + width) % width;
    y = ((y % height) + height) % height;
    const std::uint8_t* pixel = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch + x * 4;
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

void TextureCanvas::set(int x, int y, Colour colour)
{
    x = ((x % width) + width) % width;
    y = ((y % height) + height) % height;
    std::uint8_t* pixel = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch + x * 4;
    pixel[0] = colour.r;
    pixel[1] = colour.g;
    pixel[2] = colour.b;
    pixel[3] = colour.a;
}

void TextureCanvas::blend(int x, int y, Colour colour, float coverage)
{
    const float amount = std::clamp(coverage * colour.a / 255.0f, 0.0f, 1.0f);
    const Colour under = get(x, y);
    Colour over = mix(under, colour, amount);
    over.a = under.a;
    set(x, y, over);
}

void TextureCanvas::fillRect(int x, int y, int w, int h, Colour colour)
{
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            blend(column, row, colour);
}

void TextureCanvas::strokeRect(int x, int y, int w, int h, int thickness, Colour colour)
{
    fillRect(x, y, w, thickness, colour);
    fillRect(x, y + h - thickness, w, thickness, colour);
    fillRect(x, y + thickness, thickness, h - 2 * thickness, colour);
    fillRect(x + w - thickness, y + thickness, thickness, h - 2 * thickness, colour);
}

void TextureCanvas::fillCircle(float centreX, float centreY, float radius, Colour colour)
{
    for (int y = static_cast<int>(centreY - radius) - 1; y <= static_cast<int>(centreY + radius) + 1; ++y)
        for (int x = static_cast<int>(centreX - radius) - 1; x <= static_cast<int>(centreX + radius) + 1; ++x) {
            const float distance = std::hypot(x + 0.5f - centreX, y + 0.5f - centreY);
            blend(x, y, colour, std::clamp(radius - distance + 0.5f, 0.0f, 1.0f));
        }
}

void TextureCanvas::strokeCircle(float centreX, float centreY, float radius, float thickness, Colour colour)
{
    const float outer = radius + thickness * 0.5f;
    for (int y = static_cast<int>(centreY - outer) - 1; y <= static_cast<int>(centreY + outer) + 1; ++y)
        for (int x = static_cast<int>(centreX - outer) - 1; x <= static_cast<int>(centreX + outer) + 1; ++x) {
            const float distance = std::fabs(std::hypot(x + 0.5f - centreX, y + 0.5f - centreY) - radius);
            blend(x, y, colour, std::clamp(thickness * 0.5f - distance + 0.5f, 0.0f, 1.0f));
        }
}

void TextureCanvas::drawLine(float fromX, float fromY, float toX, float toY, float thickness, Colour colour)
{
    const float length = std::max(std::hypot(toX - fromX, toY - fromY), 1e-3f);
    const float half = thickness * 0.5f;
    const int left = static_cast<int>(std::min(fromX, toX) - half) - 1;
    const int right = static_cast<int>(std::max(fromX, toX) + half) + 1;
    const int top = static_cast<int>(std::min(fromY, toY) - half) - 1;
    const int bottom = static_cast<int>(std::max(fromY, toY) + half) + 1;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const float px = x + 0.5f - fromX;
            const float py = y + 0.5f - fromY;
            const float along = std::clamp((px * (toX - fromX) + py * (toY - fromY)) / (length * length), 0.0f, 1.0f);
            const float distance = std::hypot(px - along * (toX - fromX), py - along * (toY - fromY));
            blend(x, y, colour, std::clamp(half - distance + 0.5f, 0.0f, 1.0f));
        }
}

void TextureCanvas::drawText(TextFont& font, const std::string& text, int x, int y, int w, int h, int largestSize,
                             Colour colour)
{
    // Shrink until the wrapped block fits the rectangle.
    for (int pointSize = largestSize; pointSize >= 6; --pointSize) {
        TTF_Font* face = font.atSize(pointSize);
        if (!face)
            return;
        const std::vector<std::string> lines = wrapWords(face, text, w);
        const int lineHeight = TTF_FontLineSkip(face);
        bool fits = static_cast<int>(lines.size()) * lineHeight <= h;
        for (const std::string& line : lines) {
            int lineWidth = 0;
            TTF_SizeUTF8(face, line.c_str(), &lineWidth, nullptr);
            fits = fits && lineWidth <= w;
        }
        if (!fits && pointSize > 6)
            continue;

        int lineTop = y + (h - static_cast<int>(lines.size()) * lineHeight) / 2;
        for (const std::string& line : lines) {
            SDL_Surface* rendered = TTF_RenderUTF8_Blended(face, line.c_str(), {colour.r, colour.g, colour.b, 255});
            if (!rendered)
                return;
            SDL_Surface* glyphs = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0);
            SDL_FreeSurface(rendered);
            if (!glyphs)
                return;
            const int lineLeft = x + (w - glyphs->w) / 2;
            for (int row = 0; row < glyphs->h; ++row)
                for (int column = 0; column < glyphs->w; ++column) {
                    const std::uint8_t* pixel =
                        static_cast<const std::uint8_t*>(glyphs->pixels) + row * glyphs->pitch + column * 4;
                    blend(lineLeft + column, lineTop + row, {pixel[0], pixel[1], pixel[2], colour.a},
                          pixel[3] / 255.0f);
                }
            SDL_FreeSurface(glyphs);
            lineTop += lineHeight;
        }
        return;
    }
}

bool TextureCanvas::savePng(const std::string& path) const
{
    return IMG_SavePNG(surface, path.c_str()) == 0;
}
