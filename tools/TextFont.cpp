#include "TextFont.h"

#include <iostream>
#include <utility>

TextFont::TextFont(std::string path) : path(std::move(path)) {}

TextFont::~TextFont()
{
    for (auto& entry : sizes)
        if (entry.second)
            TTF_CloseFont(entry.second);
}

TTF_Font* TextFont::atSize(int pointSize)
{
    auto found = sizes.find(pointSize);
    if (found != sizes.end())
        return found->second;
    TTF_Font* font = TTF_OpenFont(path.c_str(), pointSize);
    if (!font)
        std::cerr << "TTF_OpenFont error: " << TTF_GetError() << std::endl;
    sizes[pointSize] = font;
    return font;
}
