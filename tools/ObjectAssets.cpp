#include "AssetFolders.h"
#include "ModelBuilder.h"
#include "TextFont.h"
#include "TextureCanvas.h"
#include "ValueNoise.h"
#include "level/AssetManifest.h"

#include <cmath>
#include <filesystem>

namespace {

// Doors stand on y = 0 at their origin, 8 wide in z (the tunnel lays them out 8 wide) and 20 high.
const float DOOR_HALF_WIDTH = 4.0f;
const float DOOR_HEIGHT = 20.0f;
const float DOOR_HALF_THICKNESS = 0.5f;

// Paints brushed metal: fine streaks along x over a base colour.
void paintMetal(TextureCanvas& canvas, Colour base, std::uint32_t seed)
{
    const ValueNoise noise(seed, 8);
    for (int y = 0; y < canvas.getHeight(); ++y)
        for (int x = 0; x < canvas.getWidth(); ++x) {
            const float streak = noise.fractal(x / 64.0f, y / 1.5f, 2);
            canvas.set(x, y, shade(base, 0.8f + 0.35f * streak));
        }
}

// Rivets in rows along the edges of a metal plate.
void paintRivets(TextureCanvas& canvas, int inset, int spacing, Colour colour)
{
    const int width = canvas.getWidth();
    const int height = canvas.getHeight();
    for (int x = inset; x <= width - inset; x += spacing) {
        canvas.fillCircle(x, inset, 2.5f, colour);
        canvas.fillCircle(x, height - inset, 2.5f, colour);
    }
    for (int y = inset + spacing; y < height - inset; y += spacing) {
        canvas.fillCircle(inset, y, 2.5f, colour);
        canvas.fillCircle(width - inset, y, 2.5f, colour);
    }
}

void paintWoodenDoor(TextureCanvas& canvas)
{
    const ValueNoise noise(5, 16);
    const int width = canvas.getWidth();
    const int height = canvas.getHeight();
    const int plankWidth = width / 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int plank = x / plankWidth;
            const float grain = noise.fractal(x / 3.0f + plank * 7.0f, y / 24.0f, 3);
            const Colour wood = mix(Colour{110, 70, 38}, Colour{150, 100, 56}, noise.lattice(plank, 3));
            const bool gap = x % plankWidth < 2;
            canvas.set(x, y, gap ? Colour{40, 24, 14} : shade(wood, 0.7f + 0.5f * grain));
        }
    // Iron bands across the planks, near the top and the bottom, with nail heads.
    for (int band : {height / 8, height * 7 / 8 - 10}) {
        canvas.fillRect(0, band, width, 10, Colour{60, 60, 66});
        for (int x = 8; x < width; x += 16)
            canvas.fillCircle(x, band + 5, 2.0f, Colour{150, 150, 160});
    }
}

void paintFinalDoor(TextureCanvas& canvas, TextFont& font)
{
    paintMetal(canvas, Colour{120, 128, 140}, 9);
    const int width = canvas.getWidth();
    const int height = canvas.getHeight();
    canvas.strokeRect(0, 0, width, height, 8, Colour{212, 170, 60});
    canvas.strokeRect(16, 16, width - 32, height - 32, 3, Colour{212, 170, 60});
    canvas.fillCircle(width / 2.0f, height * 0.62f, width * 0.22f, Colour{212, 170, 60});
    canvas.fillCircle(width / 2.0f, height * 0.62f, width * 0.17f, Colour{120, 128, 140});
    canvas.drawText(font, "EXIT", 20, height / 5, width - 40, height / 6, 40, Colour{255, 210, 80});
}

void paintBrass(TextureCanvas& canvas)
{
    paintMetal(canvas, Colour{196, 150, 60}, 13);
    const ValueNoise noise(14, 8);
    for (int y = 0; y < canvas.getHeight(); ++y)
        for (int x = 0; x < canvas.getWidth(); ++x)
            if (noise.fractal(x / 8.0f, y / 8.0f, 2) < 0.3f)
                canvas.blend(x, y, Colour{110, 80, 30, 120});
}

// The see-through key: pale, almost white inside, with a bright outline so it reads as hollow.
void paintGhostKey(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    canvas.fillRect(0, 0, size, size, Colour{214, 236, 248});
    canvas.strokeRect(0, 0, size, size, 6, Colour{120, 190, 240});
    canvas.strokeRect(10, 10, size - 20, size - 20, 1, Colour{170, 215, 245});
}

void paintCrate(TextureCanvas& canvas)
{
    const ValueNoise noise(17, 16);
    const int size = canvas.getWidth();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float grain = noise.fractal(x / 24.0f, y / 3.0f, 3);
            const bool gap = y % (size / 4) < 2;
            canvas.set(x, y, gap ? Colour{50, 34, 20} : shade(Colour{170, 124, 70}, 0.7f + 0.45f * grain));
        }
    canvas.strokeRect(0, 0, size, size, size / 10, Colour{120, 82, 44});
    canvas.drawLine(size / 10.0f, size / 10.0f, size * 0.9f, size * 0.9f, size / 12.0f, Colour{120, 82, 44});
}

void paintLever(TextureCanvas& canvas)
{
    paintMetal(canvas, Colour{190, 40, 32}, 19);
    canvas.fillRect(0, 0, canvas.getWidth(), canvas.getHeight() / 6, Colour{230, 220, 210});
}

void paintSwitchPlate(TextureCanvas& canvas)
{
    paintMetal(canvas, Colour{140, 140, 146}, 21);
    paintRivets(canvas, 8, 28, Colour{80, 80, 86});
    const int size = canvas.getWidth();
    // "On" and "off" marks above and below the pivot.
    canvas.fillRect(size / 2 - 20, 18, 40, 10, Colour{60, 200, 80});
    canvas.fillRect(size / 2 - 20, size - 28, 40, 10, Colour{200, 50, 40});
}

void paintButton(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    canvas.fillRect(0, 0, size, size, Colour{170, 20, 20});
    canvas.fillCircle(size / 2.0f, size / 2.0f, size * 0.45f, Colour{220, 36, 30});
    canvas.fillCircle(size * 0.4f, size * 0.38f, size * 0.12f, Colour{255, 170, 160, 180});
}

// The solid key, or its see-through twin: a ring bow, a shaft and two teeth, in the y-z plane,
// 12 long in z. The game draws it at half size 11 above the floor, so the geometry sits 14 below
// the origin to float at the player's eye height.
ModelBuilder key(const Material& material)
{
    const float centreY = -14.0f;
    const float halfThickness = 0.3f;
    ModelBuilder model;
    model.beginMesh("bow", material);
    model.addTube({0, centreY, -4.0f}, ModelBuilder::Axis::X, 2.0f, 1.1f, 2 * halfThickness, 12);
    model.beginMesh("shaft", material);
    model.addBox({-halfThickness, centreY - 0.35f, -2.1f}, {halfThickness, centreY + 0.35f, 6.0f},
                 UvMapping::stretch());
    model.beginMesh("toothNear", material);
    model.addBox({-halfThickness, centreY - 1.6f, 3.2f}, {halfThickness, centreY - 0.35f, 4.2f}, UvMapping::stretch());
    model.beginMesh("toothFar", material);
    model.addBox({-halfThickness, centreY - 1.2f, 5.0f}, {halfThickness, centreY - 0.35f, 6.0f}, UvMapping::stretch());
    return model;
}

// A thin slab on y = 0 with a handle on each face.
ModelBuilder door(const Material& slab, const Material& handle)
{
    ModelBuilder model;
    model.beginMesh("slab", slab);
    model.addBox({-DOOR_HALF_THICKNESS, 0, -DOOR_HALF_WIDTH}, {DOOR_HALF_THICKNESS, DOOR_HEIGHT, DOOR_HALF_WIDTH},
                 UvMapping::stretch());
    model.beginMesh("handleFront", handle);
    model.addBox({-DOOR_HALF_THICKNESS - 0.4f, 9.0f, 2.4f}, {-DOOR_HALF_THICKNESS, 10.0f, 3.4f}, UvMapping::stretch());
    model.beginMesh("handleBack", handle);
    model.addBox({DOOR_HALF_THICKNESS, 9.0f, 2.4f}, {DOOR_HALF_THICKNESS + 0.4f, 10.0f, 3.4f}, UvMapping::stretch());
    return model;
}

} // namespace

bool writeTunnelObjects(const std::string& assetRoot, TextFont& font)
{
    const std::string folder = assetRoot + "/" + assets::DOOR.folder;
    std::filesystem::create_directories(folder);
    const Material wood = {"doorWood", "door.png"};
    const Material iron = {"iron", "iron.png"};
    const Material steelDoor = {"finalDoor", "finaldoor.png"};
    const Material brass = {"brass", "brass.png"};
    const Material ghost = {"ghostKey", "ghostkey.png"};
    const Material plate = {"switchPlate", "switchplate.png"};
    const Material lever = {"lever", "lever.png"};
    const Material crate = {"crate", "crate.png"};
    const Material button = {"button", "button.png"};

    bool written = door(wood, iron).write(folder, assets::DOOR.file);
    written = door(steelDoor, brass).write(folder, assets::FINAL_DOOR.file) && written;
    written = key(brass).write(folder, assets::KEY.file) && written;
    written = key(ghost).write(folder, assets::TRANSPARENT_KEY.file) && written;

    // The switch hangs on the +z wall: its origin is on the wall's face, 6 above the floor.
    ModelBuilder switchBack;
    switchBack.beginMesh("plate", plate);
    switchBack.addBox({-1.5f, -2.5f, -0.5f}, {1.5f, 2.5f, 0.0f}, UvMapping::stretch());
    written = switchBack.write(folder, assets::SWITCH_BACK.file) && written;

    // The lever stands above its pivot, so the game's half turn about z points it down.
    ModelBuilder switchFront;
    switchFront.beginMesh("pivot", iron);
    switchFront.addTube({0, 0, -0.9f}, ModelBuilder::Axis::Z, 0.6f, 0.0f, 0.8f, 12);
    switchFront.beginMesh("lever", lever);
    switchFront.addBox({-0.25f, 0.0f, -1.2f}, {0.25f, 3.0f, -0.6f}, UvMapping::stretch());
    switchFront.beginMesh("knob", lever);
    switchFront.addBox({-0.55f, 3.0f, -1.5f}, {0.55f, 3.9f, -0.5f}, UvMapping::stretch());
    written = switchFront.write(folder, assets::SWITCH_FRONT.file) && written;

    // A crate of 4, resting on its origin's y - 1.
    ModelBuilder cube;
    cube.beginMesh("crate", crate);
    cube.addBox({-2, -1, -2}, {2, 3, 2}, UvMapping::stretch());
    written = cube.write(folder, assets::CUBE.file) && written;

    // A round button on the far end wall, standing out toward -x.
    ModelBuilder pushButton;
    pushButton.beginMesh("base", iron);
    pushButton.addBox({-0.3f, -1.8f, -1.8f}, {0.0f, 1.8f, 1.8f}, UvMapping::stretch());
    pushButton.beginMesh("cap", button);
    pushButton.addTube({-0.65f, 0, 0}, ModelBuilder::Axis::X, 1.3f, 0.0f, 0.7f, 20);
    written = pushButton.write(folder, assets::BUTTON.file) && written;

    TextureCanvas doorTexture(128, 256, {0, 0, 0});
    paintWoodenDoor(doorTexture);
    TextureCanvas ironTexture(64, 64, {0, 0, 0});
    paintMetal(ironTexture, Colour{70, 70, 78}, 3);
    TextureCanvas finalDoorTexture(128, 256, {0, 0, 0});
    paintFinalDoor(finalDoorTexture, font);
    TextureCanvas brassTexture(64, 64, {0, 0, 0});
    paintBrass(brassTexture);
    TextureCanvas ghostTexture(64, 64, {0, 0, 0});
    paintGhostKey(ghostTexture);
    TextureCanvas plateTexture(128, 128, {0, 0, 0});
    paintSwitchPlate(plateTexture);
    TextureCanvas leverTexture(32, 64, {0, 0, 0});
    paintLever(leverTexture);
    TextureCanvas crateTexture(128, 128, {0, 0, 0});
    paintCrate(crateTexture);
    TextureCanvas buttonTexture(64, 64, {0, 0, 0});
    paintButton(buttonTexture);
    written = doorTexture.savePng(folder + "/" + wood.texture) && written;
    written = ironTexture.savePng(folder + "/" + iron.texture) && written;
    written = finalDoorTexture.savePng(folder + "/" + steelDoor.texture) && written;
    written = brassTexture.savePng(folder + "/" + brass.texture) && written;
    written = ghostTexture.savePng(folder + "/" + ghost.texture) && written;
    written = plateTexture.savePng(folder + "/" + plate.texture) && written;
    written = leverTexture.savePng(folder + "/" + lever.texture) && written;
    written = crateTexture.savePng(folder + "/" + crate.texture) && written;
    written = buttonTexture.savePng(folder + "/" + button.texture) && written;
    return written;
}

bool writeTrain(const std::string& assetRoot)
{
    const std::string folder = assetRoot + "/" + assets::TRAIN.folder;
    std::filesystem::create_directories(folder);
    const Material body = {"trainBody", "body.png"};
    const Material chassis = {"trainChassis", "chassis.png"};
    const Material wheelSteel = {"wheel", "wheel.png"};

    // 64 long, 10 wide; the chassis reaches down to 0.5 so that the train's box holds the
    // turning points at height 1, and stays narrower than the wheels at z = -4.5 and +4.5.
    ModelBuilder train;
    train.beginMesh("chassis", chassis);
    train.addBox({-31, 0.5f, -3.5f}, {31, 4, 3.5f}, UvMapping::tiled(8));
    train.beginMesh("body", body);
    train.addBox({-32, 4, -5}, {32, 13, 5}, UvMapping::stretch());
    train.beginMesh("roof", chassis);
    train.addBox({-31, 13, -4}, {31, 14, 4}, UvMapping::tiled(8));
    bool written = train.write(folder, assets::TRAIN.file);

    // The wheel turns about z; its spokes show the turning.
    ModelBuilder wheel;
    wheel.beginMesh("wheel", wheelSteel);
    wheel.addTube({0, 0, 0}, ModelBuilder::Axis::Z, 2.0f, 0.0f, 0.8f, 16);
    written = wheel.write(folder, assets::WHEEL.file) && written;

    TextureCanvas bodyTexture(256, 64, {0, 0, 0});
    paintMetal(bodyTexture, Colour{150, 156, 166}, 29);
    const int width = bodyTexture.getWidth();
    bodyTexture.fillRect(0, 40, width, 6, Colour{180, 30, 30});
    for (int window = 0; window < 10; ++window)
        bodyTexture.fillRect(8 + window * 25, 12, 16, 18, Colour{30, 40, 60});
    paintRivets(bodyTexture, 4, 16, Colour{90, 94, 100});
    TextureCanvas chassisTexture(64, 64, {0, 0, 0});
    paintMetal(chassisTexture, Colour{60, 62, 68}, 31);
    TextureCanvas wheelTexture(64, 64, {60, 62, 68});
    wheelTexture.fillCircle(32, 32, 31, Colour{150, 152, 160});
    wheelTexture.fillCircle(32, 32, 25, Colour{70, 72, 80});
    for (int spoke = 0; spoke < 3; ++spoke) {
        const float angle = spoke * 3.14159265f / 3.0f;
        wheelTexture.drawLine(32 - 25 * std::cos(angle), 32 - 25 * std::sin(angle), 32 + 25 * std::cos(angle),
                              32 + 25 * std::sin(angle), 5, Colour{170, 172, 180});
    }
    wheelTexture.fillCircle(32, 32, 6, Colour{200, 200, 210});
    written = bodyTexture.savePng(folder + "/" + body.texture) && written;
    written = chassisTexture.savePng(folder + "/" + chassis.texture) && written;
    written = wheelTexture.savePng(folder + "/" + wheelSteel.texture) && written;
    return written;
}

bool writeGlassAndPortal(const std::string& assetRoot)
{
    const std::string glassFolder = assetRoot + "/" + assets::GLASS_DOOR.folder;
    const std::string portalFolder = assetRoot + "/" + assets::PORTAL_SURFACE.folder;
    std::filesystem::create_directories(glassFolder);
    std::filesystem::create_directories(portalFolder);

    // A door-sized pane in a slim frame, all within the 8 x 20 of a door. The frame comes first so
    // that it is drawn before the blended glass.
    const Material frame = {"glassFrame", "frame.png"};
    const Material glass = {"glass", "glass.png", 0.35f};
    const float frameWidth = 0.3f;
    ModelBuilder glassDoor;
    glassDoor.beginMesh("frameLeft", frame);
    glassDoor.addBox({-0.2f, 0, -DOOR_HALF_WIDTH}, {0.2f, DOOR_HEIGHT, -DOOR_HALF_WIDTH + frameWidth},
                     UvMapping::tiled(2));
    glassDoor.beginMesh("frameRight", frame);
    glassDoor.addBox({-0.2f, 0, DOOR_HALF_WIDTH - frameWidth}, {0.2f, DOOR_HEIGHT, DOOR_HALF_WIDTH},
                     UvMapping::tiled(2));
    glassDoor.beginMesh("frameTop", frame);
    glassDoor.addBox({-0.2f, DOOR_HEIGHT - frameWidth, -DOOR_HALF_WIDTH + frameWidth},
                     {0.2f, DOOR_HEIGHT, DOOR_HALF_WIDTH - frameWidth}, UvMapping::tiled(2));
    glassDoor.beginMesh("frameBottom", frame);
    glassDoor.addBox({-0.2f, 0, -DOOR_HALF_WIDTH + frameWidth}, {0.2f, frameWidth, DOOR_HALF_WIDTH - frameWidth},
                     UvMapping::tiled(2));
    glassDoor.beginMesh("pane", glass);
    glassDoor.addBox({-0.1f, frameWidth, -DOOR_HALF_WIDTH + frameWidth},
                     {0.1f, DOOR_HEIGHT - frameWidth, DOOR_HALF_WIDTH - frameWidth}, UvMapping::stretch());
    bool written = glassDoor.write(glassFolder, assets::GLASS_DOOR.file);

    TextureCanvas frameTexture(32, 32, {0, 0, 0});
    paintMetal(frameTexture, Colour{170, 176, 186}, 43);
    // Pale blue glass, about a third opaque, with a few brighter streaks of reflection.
    TextureCanvas glassTexture(64, 128, {170, 215, 235, 90});
    for (int streak = 0; streak < 3; ++streak)
        glassTexture.drawLine(8.0f + streak * 14, 120, 40.0f + streak * 14, 20, 3, Colour{235, 248, 255, 160});
    written = frameTexture.savePng(glassFolder + "/" + frame.texture) && written;
    written = glassTexture.savePng(glassFolder + "/" + glass.texture) && written;

    // The portal surface: one thin mesh the size of a door, centred on x = 0.
    const Material surface = {"portalSurface", "portal.png"};
    const Material portalFrame = {"portalFrame", "portalframe.png"};
    ModelBuilder portal;
    portal.beginMesh("surface", surface);
    portal.addBox({-0.1f, 0, -DOOR_HALF_WIDTH}, {0.1f, DOOR_HEIGHT, DOOR_HALF_WIDTH}, UvMapping::stretch());
    written = portal.write(portalFolder, assets::PORTAL_SURFACE.file) && written;

    // Three bars around the opening, each its own mesh so the opening stays free to walk through.
    const float barWidth = 0.6f;
    ModelBuilder frameModel;
    frameModel.beginMesh("barLeft", portalFrame);
    frameModel.addBox({-0.3f, 0, -DOOR_HALF_WIDTH - barWidth}, {0.3f, DOOR_HEIGHT + barWidth, -DOOR_HALF_WIDTH},
                      UvMapping::tiled(2));
    frameModel.beginMesh("barRight", portalFrame);
    frameModel.addBox({-0.3f, 0, DOOR_HALF_WIDTH}, {0.3f, DOOR_HEIGHT + barWidth, DOOR_HALF_WIDTH + barWidth},
                      UvMapping::tiled(2));
    frameModel.beginMesh("barTop", portalFrame);
    frameModel.addBox({-0.3f, DOOR_HEIGHT, -DOOR_HALF_WIDTH}, {0.3f, DOOR_HEIGHT + barWidth, DOOR_HALF_WIDTH},
                      UvMapping::tiled(2));
    written = frameModel.write(portalFolder, assets::PORTAL_FRAME.file) && written;

    TextureCanvas portalTexture(64, 128, {40, 10, 90});
    for (int ring = 0; ring < 6; ++ring)
        portalTexture.strokeCircle(32, 64, 8.0f + ring * 9.0f, 3, Colour{120, 80, 255, 200});
    TextureCanvas portalFrameTexture(32, 32, {0, 0, 0});
    paintMetal(portalFrameTexture, Colour{230, 130, 30}, 47);
    written = portalTexture.savePng(portalFolder + "/" + surface.texture) && written;
    written = portalFrameTexture.savePng(portalFolder + "/" + portalFrame.texture) && written;
    return written;
}
