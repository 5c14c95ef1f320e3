#include "AssetFolders.h"
#include "ModelBuilder.h"
#include "TextureCanvas.h"
#include "ValueNoise.h"
#include "level/AssetManifest.h"
#include "level/TunnelShape.h"

#include <cmath>
#include <filesystem>

namespace {

// Every shell piece is 40 long in x, centred on its origin; the tunnel is 40 wide in z.
const float PIECE_HALF_LENGTH = shape::PIECE_LENGTH / 2;
const float TUNNEL_HALF_WIDTH = shape::TUNNEL_WIDTH / 2;
const float WALL_THICKNESS = 2.0f;
// The floor is thick enough that a falling player never tunnels through it.
const float FLOOR_THICKNESS = 8.0f;
// The spot lights hang at 40; the ceiling stays well above them.
const float CEILING_BOTTOM = 50.0f;
const float CEILING_THICKNESS = 2.0f;
const float WALL_TOP = CEILING_BOTTOM + CEILING_THICKNESS;
// The wall texture repeats every 20 units, so 40-long pieces continue each other's bricks.
const float WALL_TILE = 20.0f;
const float STEP_TILE = 6.5f;

// A stair piece climbs 8 over 13. The game places three of them 13 apart at tunnel x + 189, 202
// and 215, raised by 0, 8 and 16; the hallway before them ends at x + 180 and the raised hallway
// after them begins at x + 218. Starting each piece 10 before its origin makes the first begin at
// x + 179 and the last end at x + 218, so the climb is unbroken from floor 0 to floor 24.
const float STAIR_RISE = shape::STAIR_RISE;
const float STAIR_RUN = shape::STAIR_RUN;
const float STAIR_START_X = -10.0f;
// The character steps up at most 0.5, so every step rises 0.4.
const int STEPS_PER_PIECE = 20;
// Stair walls reach from below the lowest step to above the sloped ceiling.
const float STAIR_WALL_BOTTOM = -10.0f;
const float STAIR_WALL_TOP = CEILING_BOTTOM + STAIR_RISE + CEILING_THICKNESS + 2.0f;

// The materials that make one view's look; both views share every piece's geometry.
struct ShellLook {
    Material floor;
    Material wall;
    Material ceiling;
    Material step;
};

ShellLook lookOf(const std::string& view)
{
    return {{view + "Floor", "floor.png"}, {view + "Wall", "wall.png"}, {view + "Ceiling", "ceiling.png"},
            {view + "Step", "step.png"}};
}

void addSideWalls(ModelBuilder& model, const ShellLook& look, float fromX, float toX, float bottom, float top)
{
    model.beginMesh("wallLeft", look.wall);
    model.addBox({fromX, bottom, -TUNNEL_HALF_WIDTH - WALL_THICKNESS}, {toX, top, -TUNNEL_HALF_WIDTH},
                 UvMapping::tiled(WALL_TILE));
    model.beginMesh("wallRight", look.wall);
    model.addBox({fromX, bottom, TUNNEL_HALF_WIDTH}, {toX, top, TUNNEL_HALF_WIDTH + WALL_THICKNESS},
                 UvMapping::tiled(WALL_TILE));
}

// Floor, two side walls and the ceiling, each its own closed box, so that each gets its own
// collision box and the player walks in the hollow between them.
ModelBuilder hallway(const ShellLook& look)
{
    ModelBuilder model;
    model.beginMesh("floor", look.floor);
    // Stretched so that the rails painted on the texture run along the tunnel's centre line.
    model.addBox({-PIECE_HALF_LENGTH, -FLOOR_THICKNESS, -TUNNEL_HALF_WIDTH}, {PIECE_HALF_LENGTH, 0.0f, TUNNEL_HALF_WIDTH},
                 UvMapping::stretch());
    addSideWalls(model, look, -PIECE_HALF_LENGTH, PIECE_HALF_LENGTH, -FLOOR_THICKNESS, WALL_TOP);
    model.beginMesh("ceiling", look.ceiling);
    model.addBox({-PIECE_HALF_LENGTH, CEILING_BOTTOM, -TUNNEL_HALF_WIDTH},
                 {PIECE_HALF_LENGTH, WALL_TOP, TUNNEL_HALF_WIDTH}, UvMapping::tiled(WALL_TILE));
    return model;
}

// A hallway closed at its -x end; the game turns it round for the far end of a tunnel.
ModelBuilder deadEnd(const ShellLook& look)
{
    ModelBuilder model = hallway(look);
    model.beginMesh("endWall", look.wall);
    model.addBox({-PIECE_HALF_LENGTH - WALL_THICKNESS, -FLOOR_THICKNESS, -TUNNEL_HALF_WIDTH - WALL_THICKNESS},
                 {-PIECE_HALF_LENGTH, WALL_TOP, TUNNEL_HALF_WIDTH + WALL_THICKNESS}, UvMapping::tiled(WALL_TILE));
    return model;
}

ModelBuilder stairs(const ShellLook& look)
{
    ModelBuilder model;
    const float stepRun = STAIR_RUN / STEPS_PER_PIECE;
    const float stepRise = STAIR_RISE / STEPS_PER_PIECE;
    for (int step = 0; step < STEPS_PER_PIECE; ++step) {
        model.beginMesh("step" + std::to_string(step + 1), look.step);
        const float fromX = STAIR_START_X + stepRun * static_cast<float>(step);
        model.addBox({fromX, -FLOOR_THICKNESS, -TUNNEL_HALF_WIDTH},
                     {fromX + stepRun, stepRise * static_cast<float>(step + 1), TUNNEL_HALF_WIDTH},
                     UvMapping::tiled(STEP_TILE));
    }
    const float endX = STAIR_START_X + STAIR_RUN;
    addSideWalls(model, look, STAIR_START_X, endX, STAIR_WALL_BOTTOM, STAIR_WALL_TOP);

    // The ceiling slopes with the stairs, so the three pieces join the low and the raised ceilings.
    std::array<glm::vec3, 8> ceiling;
    for (int bits = 0; bits < 8; ++bits) {
        const bool farEnd = bits & 1;
        const float rise = farEnd ? STAIR_RISE : 0.0f;
        ceiling[bits] = {farEnd ? endX : STAIR_START_X, CEILING_BOTTOM + rise + (bits & 2 ? CEILING_THICKNESS : 0.0f),
                         bits & 4 ? TUNNEL_HALF_WIDTH : -TUNNEL_HALF_WIDTH};
    }
    model.beginMesh("ceiling", look.ceiling);
    model.addHexahedron(ceiling, UvMapping::tiled(WALL_TILE));
    return model;
}

// Texture rows of the floor image run across the tunnel: row 0 is z = -20, the last row z = +20.
int floorRow(float z, int size)
{
    return static_cast<int>((z + TUNNEL_HALF_WIDTH) / (2.0f * TUNNEL_HALF_WIDTH) * static_cast<float>(size));
}

// The train's wheels run at z = -4.5 and +4.5.
const float RAIL_Z = 4.5f;

void paintRealityFloor(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    const ValueNoise noise(11, 32);
    const int ballastTop = floorRow(-7.5f, size);
    const int ballastBottom = floorRow(7.5f, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float grain = noise.fractal(x / 8.0f, y / 8.0f, 3);
            const float speckle = noise.lattice(x, y);
            if (y >= ballastTop && y < ballastBottom) {
                // Crushed stone between the rails, each pebble a little different.
                const Colour gravel = mix(Colour{88, 80, 70}, Colour{132, 124, 110}, speckle);
                canvas.set(x, y, shade(gravel, 0.7f + 0.5f * grain));
            } else {
                // Worn flagstones along the walls, 32 pixels square, with dark joints.
                const bool joint = x % 32 == 0 || y % 32 == 0;
                const float slab = noise.lattice(x / 32, y / 32 + 100);
                const Colour stone = mix(Colour{96, 92, 86}, Colour{124, 118, 108}, slab);
                canvas.set(x, y, joint ? Colour{48, 44, 40} : shade(stone, 0.75f + 0.4f * grain));
            }
        }
    // Wooden sleepers every 2.5 units along the tunnel (16 per piece).
    for (int sleeper = 0; sleeper < 16; ++sleeper) {
        const int left = sleeper * size / 16 + 2;
        for (int y = floorRow(-6.5f, size); y < floorRow(6.5f, size); ++y)
            for (int x = left; x < left + 7; ++x) {
                const float wood = noise.fractal(x / 2.0f, y / 12.0f, 2);
                canvas.set(x, y, shade(Colour{96, 66, 40}, 0.7f + 0.5f * wood));
            }
    }
    // Steel rails with a polished running surface.
    for (float railZ : {-RAIL_Z, RAIL_Z}) {
        const int centre = floorRow(railZ, size);
        canvas.fillRect(0, centre - 3, size, 7, Colour{70, 72, 78});
        canvas.fillRect(0, centre - 1, size, 3, Colour{196, 200, 210});
    }
}

void paintRealityWall(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    const ValueNoise noise(23, 32);
    const int brickWidth = 64;
    const int brickHeight = 32;
    for (int y = 0; y < size; ++y) {
        const int course = y / brickHeight;
        const int offset = course % 2 ? brickWidth / 2 : 0;
        for (int x = 0; x < size; ++x) {
            const int brick = (x + offset) / brickWidth;
            const bool mortar = (x + offset) % brickWidth < 3 || y % brickHeight < 3;
            const float grain = noise.fractal(x / 6.0f, y / 6.0f, 3);
            if (mortar) {
                canvas.set(x, y, shade(Colour{58, 54, 50}, 0.8f + 0.4f * grain));
                continue;
            }
            const float tint = noise.lattice(brick % (size / brickWidth), course + 50);
            const Colour stone = mix(Colour{104, 98, 90}, Colour{140, 130, 116}, tint);
            // Worn edges: darker near the joints, chipped where the noise dips.
            const int insideX = std::min((x + offset) % brickWidth, brickWidth - (x + offset) % brickWidth);
            const int insideY = std::min(y % brickHeight, brickHeight - y % brickHeight);
            const float edge = std::min(1.0f, std::min(insideX, insideY) / 6.0f);
            const float chip = grain < 0.32f ? 0.7f : 1.0f;
            canvas.set(x, y, shade(stone, (0.65f + 0.45f * grain) * (0.8f + 0.2f * edge) * chip));
        }
    }
    // A few cracks running through the stones.
    canvas.drawLine(40, 70, 58, 96, 1.5f, Colour{40, 36, 34, 200});
    canvas.drawLine(58, 96, 52, 122, 1.5f, Colour{40, 36, 34, 200});
    canvas.drawLine(180, 160, 204, 178, 1.5f, Colour{40, 36, 34, 200});
    canvas.drawLine(204, 178, 230, 184, 1.5f, Colour{40, 36, 34, 200});
}

void paintRealityCeiling(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    const ValueNoise noise(37, 16);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float rock = noise.fractal(x / 16.0f, y / 16.0f, 4);
            canvas.set(x, y, shade(Colour{84, 78, 72}, 0.5f + 0.7f * rock));
        }
}

void paintRealityStep(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    const ValueNoise noise(41, 16);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float grain = noise.fractal(x / 8.0f, y / 8.0f, 3);
            canvas.set(x, y, shade(Colour{136, 128, 116}, 0.7f + 0.4f * grain));
        }
    canvas.strokeRect(0, 0, size, size, 3, Colour{70, 64, 58});
}

// The glasses show the tunnel as a glowing wire grid on dark blue.
const Colour GRID_BACKGROUND = {10, 16, 52};
const Colour GRID_LINE = {60, 230, 255};

void paintGrid(TextureCanvas& canvas, int spacing, Colour line, float width)
{
    const int size = canvas.getWidth();
    for (int position = 0; position < size; position += spacing) {
        // A soft halo under a crisp line reads as glow.
        canvas.fillRect(position - 2, 0, 5, size, Colour{line.r, line.g, line.b, 60});
        canvas.fillRect(0, position - 2, size, 5, Colour{line.r, line.g, line.b, 60});
        const int half = static_cast<int>(width / 2);
        canvas.fillRect(position - half, 0, static_cast<int>(width), size, line);
        canvas.fillRect(0, position - half, size, static_cast<int>(width), line);
    }
}

void paintGlassesFloor(TextureCanvas& canvas)
{
    paintGrid(canvas, 32, GRID_LINE, 2);
    const int size = canvas.getWidth();
    for (float railZ : {-RAIL_Z, RAIL_Z}) {
        const int centre = floorRow(railZ, size);
        canvas.fillRect(0, centre - 4, size, 9, Colour{255, 60, 220, 80});
        canvas.fillRect(0, centre - 1, size, 3, Colour{255, 90, 230});
    }
}

void paintGlassesStep(TextureCanvas& canvas)
{
    const int size = canvas.getWidth();
    paintGrid(canvas, 64, Colour{40, 150, 200}, 2);
    canvas.strokeRect(0, 0, size, size, 4, GRID_LINE);
}

bool writeView(const std::string& folder, const std::string& view)
{
    std::filesystem::create_directories(folder);
    const ShellLook look = lookOf(view);
    const bool reality = view == "reality";
    bool written = hallway(look).write(folder, (reality ? assets::REALITY_HALLWAY : assets::GLASSES_HALLWAY).file);
    written = deadEnd(look).write(folder, (reality ? assets::REALITY_DEAD_END : assets::GLASSES_DEAD_END).file) && written;
    written = stairs(look).write(folder, (reality ? assets::REALITY_STAIRS : assets::GLASSES_STAIRS).file) && written;

    TextureCanvas floor(256, 256, GRID_BACKGROUND);
    TextureCanvas wall(256, 256, GRID_BACKGROUND);
    TextureCanvas ceiling(256, 256, GRID_BACKGROUND);
    TextureCanvas step(128, 128, GRID_BACKGROUND);
    if (reality) {
        paintRealityFloor(floor);
        paintRealityWall(wall);
        paintRealityCeiling(ceiling);
        paintRealityStep(step);
    } else {
        paintGlassesFloor(floor);
        paintGrid(wall, 32, GRID_LINE, 2);
        paintGrid(ceiling, 64, Colour{30, 120, 170}, 2);
        paintGlassesStep(step);
    }
    written = floor.savePng(folder + "/" + look.floor.texture) && written;
    written = wall.savePng(folder + "/" + look.wall.texture) && written;
    written = ceiling.savePng(folder + "/" + look.ceiling.texture) && written;
    written = step.savePng(folder + "/" + look.step.texture) && written;
    return written;
}

} // namespace

bool writeTunnelShells(const std::string& assetRoot)
{
    const bool reality = writeView(assetRoot + "/" + assets::REALITY_HALLWAY.folder, "reality");
    const bool glasses = writeView(assetRoot + "/" + assets::GLASSES_HALLWAY.folder, "glasses");
    return reality && glasses;
}
