#pragma once

#include <SDL_ttf.h>

#include <map>
#include <string>

// One TrueType face opened at whatever point sizes the painted texts need.
class TextFont {
public:
    explicit TextFont(std::string path);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // The face at `pointSize`, or null when the font file cannot be read.
    TTF_Font* atSize(int pointSize);

private:
    std::string path;
    std::map<int, TTF_Font*> sizes;
};
