#include "AssetFolders.h"
#include "ModelBuilder.h"
#include "TextFont.h"
#include "TextureCanvas.h"
#include "ValueNoise.h"
#include "level/AssetManifest.h"

#include <filesystem>
#include <vector>

namespace {

// A sign is a board in the y-z plane on two legs, read from -x: the game turns the wall signs so
// that their -x side faces into the tunnel. The board stands just on the -x side of the origin so a
// sign placed on a wall line sits in front of the wall.
const float BOARD_BACK_X = -0.1f;
const float BOARD_FRONT_X = -0.5f;
const float BOARD_BOTTOM = 3.0f;
const float BOARD_TOP = 8.0f;
const float BOARD_HALF_WIDTH = 5.0f;
// The painted face floats just in front of the board so the two never fight for depth.
const float FACE_X = BOARD_FRONT_X - 0.02f;
const float FACE_MARGIN = 0.15f;

struct Sign {
    ModelFile model;
    const char* text;
};

const std::vector<Sign> SIGNS = {
    {assets::SWITCH_VIEW_SIGN, "Press E to switch views"},
    {assets::CHANGE_MULTIPLE_VIEW_SIGN, "Switch the view three times"},
    {assets::UNLOCK_NEW_TUNNEL_SIGN, "A new tunnel is open"},
    {assets::PATIENCE_SIGN, "Patience is gold"},
    {assets::SWITCHES_NUMBER_SIGN, "Three switches"},
};

// A model's file name without ".obj": its textures and materials are named after it.
std::string stem(const ModelFile& model)
{
    return std::filesystem::path(model.file).stem().string();
}

// The end screens face +x; the game turns them half round about y and looks at them from 10 in
// front with a 60 degree view, which shows about 15 x 11.5 around (y -1.3, z 0.5) of the model.
const float SCREEN_CENTRE_Y = -1.3f;
const float SCREEN_CENTRE_Z = 0.5f;
const float SCREEN_HALF_WIDTH = 7.0f;
const float SCREEN_HALF_HEIGHT = 5.0f;

void paintWood(TextureCanvas& canvas)
{
    const ValueNoise noise(53, 16);
    for (int y = 0; y < canvas.getHeight(); ++y)
        for (int x = 0; x < canvas.getWidth(); ++x) {
            const float grain = noise.fractal(x / 20.0f, y / 2.5f, 3);
            canvas.set(x, y, shade(Colour{128, 86, 48}, 0.65f + 0.5f * grain));
        }
}

ModelBuilder sign(const Material& wood, const Material& face)
{
    ModelBuilder model;
    model.beginMesh("legLeft", wood);
    model.addBox({-0.4f, 0, -4.4f}, {-0.2f, BOARD_BOTTOM, -3.9f}, UvMapping::tiled(2));
    model.beginMesh("legRight", wood);
    model.addBox({-0.4f, 0, 3.9f}, {-0.2f, BOARD_BOTTOM, 4.4f}, UvMapping::tiled(2));
    model.beginMesh("board", wood);
    model.addBox({BOARD_FRONT_X, BOARD_BOTTOM, -BOARD_HALF_WIDTH}, {BOARD_BACK_X, BOARD_TOP, BOARD_HALF_WIDTH},
                 UvMapping::tiled(4));
    // Seen from -x, +z is to the right: the image's left edge goes to -z.
    const float left = -BOARD_HALF_WIDTH + FACE_MARGIN;
    const float right = BOARD_HALF_WIDTH - FACE_MARGIN;
    const float bottom = BOARD_BOTTOM + FACE_MARGIN;
    const float top = BOARD_TOP - FACE_MARGIN;
    model.beginMesh("text", face);
    model.addQuad({{{FACE_X, bottom, left}, {FACE_X, bottom, right}, {FACE_X, top, right}, {FACE_X, top, left}}});
    return model;
}

ModelBuilder screen(const Material& face)
{
    // Seen from +x, -z is to the right.
    const float left = SCREEN_CENTRE_Z + SCREEN_HALF_WIDTH;
    const float right = SCREEN_CENTRE_Z - SCREEN_HALF_WIDTH;
    const float bottom = SCREEN_CENTRE_Y - SCREEN_HALF_HEIGHT;
    const float top = SCREEN_CENTRE_Y + SCREEN_HALF_HEIGHT;
    ModelBuilder model;
    model.beginMesh("screen", face);
    model.addQuad({{{0, bottom, left}, {0, bottom, right}, {0, top, right}, {0, top, left}}});
    return model;
}

} // namespace

bool writeSignsAndScreens(const std::string& assetRoot, TextFont& font)
{
    const std::string hintFolder = assetRoot + "/" + assets::SWITCH_VIEW_SIGN.folder;
    const std::string screenFolder = assetRoot + "/" + assets::WON_SCREEN.folder;
    std::filesystem::create_directories(hintFolder);
    std::filesystem::create_directories(screenFolder);

    const Material wood = {"signWood", "wood.png"};
    TextureCanvas woodTexture(64, 64, {0, 0, 0});
    paintWood(woodTexture);
    bool written = woodTexture.savePng(hintFolder + "/" + wood.texture);

    for (const Sign& hint : SIGNS) {
        const Material face = {stem(hint.model) + "Text", stem(hint.model) + ".png"};
        written = sign(wood, face).write(hintFolder, hint.model.file) && written;
        // Painted board: cream with a dark border and dark lettering.
        TextureCanvas text(256, 128, {236, 224, 196});
        text.strokeRect(0, 0, 256, 128, 5, Colour{70, 48, 28});
        text.drawText(font, hint.text, 14, 10, 228, 108, 36, Colour{30, 26, 24});
        written = text.savePng(hintFolder + "/" + face.texture) && written;
    }

    struct EndScreen {
        ModelFile model;
        const char* text;
        Colour background;
        Colour lettering;
    };
    const EndScreen screens[] = {
        {assets::WON_SCREEN, "YOU WON", {16, 70, 28}, {255, 230, 90}},
        {assets::LOST_SCREEN, "YOU LOST", {90, 12, 12}, {255, 255, 255}},
    };
    for (const EndScreen& end : screens) {
        const Material face = {stem(end.model) + "Screen", stem(end.model) + ".png"};
        written = screen(face).write(screenFolder, end.model.file) && written;
        TextureCanvas text(224, 160, end.background);
        text.strokeRect(0, 0, 224, 160, 6, end.lettering);
        text.drawText(font, end.text, 12, 30, 200, 100, 60, end.lettering);
        written = text.savePng(screenFolder + "/" + face.texture) && written;
    }
    return written;
}
