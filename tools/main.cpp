// Writes every model of the game, with its materials and textures, and every sound, below the
// folder given as the only argument. The output depends on nothing but this program and the DejaVu font.
#include "AssetFolders.h"
#include "TextFont.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <iostream>

namespace {

const char* const FONT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: marrowdeep-assets <output folder>" << std::endl;
        return 2;
    }
    const std::string assetRoot = argv[1];
    if (TTF_Init() != 0) {
        std::cerr << "TTF_Init error: " << TTF_GetError() << std::endl;
        return 1;
    }
    IMG_Init(IMG_INIT_PNG);

    bool written = true;
    {
        TextFont font(FONT_PATH);
        if (!font.atSize(24)) {
            std::cerr << "The sign font is missing: " << FONT_PATH << std::endl;
            written = false;
        } else {
            written = writeTunnelShells(assetRoot) && written;
            written = writeTunnelObjects(assetRoot, font) && written;
            written = writeTrain(assetRoot) && written;
            written = writeGlassAndPortal(assetRoot) && written;
            written = writeSignsAndScreens(assetRoot, font) && written;
            written = writeSounds(assetRoot) && written;
        }
    }

    IMG_Quit();
    TTF_Quit();
    if (!written) {
        std::cerr << "Some asset files could not be written below " << assetRoot << std::endl;
        return 1;
    }
    return 0;
}
