// The generated models as the game uses them: loaded with the real Model class, checked for
// the shapes that collision, placement and the puzzles rely on, and drawn to see that signs and
// end screens read the right way round.
#include "render/Mesh.h"
#include "render/Model.h"
#include "support/RenderChecks.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Model files by their paths below assets/; with the shells, stairs and signs, the other
// models are every model the level loads, and the two end screens.
const std::string SHELLS[] = {"tunnel/reality/dungeon_large_hallway3.obj", "tunnel/reality/dungeon_large_deadend.obj",
                              "tunnel/glasses/dungeon_large_hallway2.obj", "tunnel/glasses/dungeon_large_deadend.obj"};
const std::string STAIRS[] = {"tunnel/reality/dungeon_large_stairs24.obj", "tunnel/glasses/dungeon_large_stairs24.obj"};
const std::string SIGNS[] = {"hints/switchViewSign.obj", "hints/unlockNewTunnelSign.obj",
                             "hints/patienceIsGoldSign.obj", "hints/changeMultipleViewSign.obj",
                             "hints/switchesNumberSign.obj"};
const std::string OTHER_MODELS[] = {
    "tunnel/door.obj",          "tunnel/finaldoor.obj",     "tunnel/old_key3.obj", "tunnel/old_key_transparent.obj",
    "tunnel/schalterback1.obj", "tunnel/schalterfront.obj", "tunnel/cube.obj",     "tunnel/button1.obj",
    "glassdoor/door2.obj",      "train/train1.obj",         "train/wheel.obj",     "portal/portal.obj",
    "portal/portalFrame.obj",   "screens/won.obj",          "screens/lost.obj"};

// The tunnel: 40 wide in z around its centre line, shell pieces 40 long, spot lights 40 up.
const float TUNNEL_HALF_WIDTH = 20.0f;
const float PIECE_HALF_LENGTH = 20.0f;
const float LIGHT_HEIGHT = 40.0f;
// The player's eye settles 4 above the floor, the box reaching 4 above and below it.
const float EYE_HEIGHT = 4.0f;
const float PLAYER_HEIGHT = 8.0f;
// Stairs: three pieces at tunnel x + 189, 202, 215, raised by 0, 8, 16, between the straight
// piece at x + 160 on floor 0 and the one at x + 238 on the raised floor 24. The character
// steps up 0.5 by itself; steps stay a margin below that.
const glm::vec2 STAIR_PLACES[] = {{189, 0}, {202, 8}, {215, 16}};
const float LOWER_HALLWAY_X = 160.0f;
const float RAISED_HALLWAY_X = 238.0f;
const float RAISED_FLOOR = 24.0f;
const float MAX_STEP_RISE = 0.4f;
const float EPSILON = 1e-3f;

std::unique_ptr<Model> load(const std::string& path)
{
    const std::filesystem::path file(path);
    return std::make_unique<Model>(file.parent_path().string(), file.filename().string());
}

// An axis-aligned box of a mesh or model, as the game builds its collision boxes from them.
struct Box {
    glm::vec3 min;
    glm::vec3 max;
    glm::vec3 size() const { return max - min; }
    Box shifted(glm::vec3 offset) const { return {min + offset, max + offset}; }
    bool spansTunnel() const { return min.z <= -TUNNEL_HALF_WIDTH + EPSILON && max.z >= TUNNEL_HALF_WIDTH - EPSILON; }
};

Box boxOf(const Mesh* mesh)
{
    return {mesh->bounds().second, mesh->bounds().first};
}

Box boxOf(const std::string& path)
{
    const std::unique_ptr<Model> model = load(path);
    return {model->bounds().second, model->bounds().first};
}

// True when the boxes share some volume, not just a face.
bool overlaps(const Box& a, const Box& b)
{
    return glm::all(glm::lessThan(a.min, b.max - EPSILON)) && glm::all(glm::greaterThan(a.max, b.min + EPSILON));
}

bool covers(const Box& outer, const Box& inner)
{
    return glm::all(glm::lessThanEqual(outer.min, inner.min + EPSILON)) &&
           glm::all(glm::greaterThanEqual(outer.max, inner.max - EPSILON));
}

// The same doorway: the same height from the floor and the same width across the tunnel.
bool sameDoorway(const Box& a, const Box& b)
{
    return glm::length(glm::vec4(a.min.y - b.min.y, a.min.z - b.min.z, a.max.y - b.max.y, a.max.z - b.max.z)) < EPSILON;
}

// Textured, as the player sees the models, without the lights.
const char* const VIEW_VERTEX_SHADER =
    "#version 330 core\nlayout(location = 0) in vec3 position;\nlayout(location = 1) in vec2 texCoord;\n"
    "uniform mat4 model, view, proj;\nout vec2 uv;\n"
    "void main() { uv = texCoord; gl_Position = proj * view * model * vec4(position, 1.0); }\n";
const char* const VIEW_FRAGMENT_SHADER =
    "#version 330 core\nin vec2 uv;\nuniform sampler2D diffuseTexture;\n"
    "out vec4 outColor;\nvoid main() { outColor = texture(diffuseTexture, uv); }\n";

double luminance(const std::uint8_t* rgb)
{
    return 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
}

} // namespace

class AssetsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ok()); }

    // Draws a flat, textured mesh as the game's camera would see it (60 degrees, 4:3), keeps the
    // picture and expects it to match the mesh's image as it is, better than the image mirrored
    // left to right or turned upside down. Returns the mesh's size on the window.
    glm::vec2 expectReadsRightWayRound(const Model& model, const Mesh* face, const glm::mat4& placement, glm::vec3 eye,
                                       glm::vec3 target, const std::string& picture)
    {
        const std::unique_ptr<ShaderProgram> program = folder.program(VIEW_VERTEX_SHADER, VIEW_FRAGMENT_SHADER);
        const glm::mat4 view = glm::lookAt(eye, target, glm::vec3(0, 1, 0));
        const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 1.0f, 500.0f);
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        program->use(true);
        program->setModel(placement);
        program->setView(view);
        program->setProj(projection);
        model.draw();
        program->use(false);
        savePicture(context, "asset-views/" + picture + ".png");

        // The face's rectangle on the window, from its box's corners.
        const Box box = boxOf(face);
        glm::vec2 low(1e9f), high(-1e9f);
        for (int corner = 0; corner < 8; ++corner) {
            const glm::vec4 clip = projection * view * placement *
                                   glm::vec4(corner & 1 ? box.max.x : box.min.x, corner & 2 ? box.max.y : box.min.y,
                                             corner & 4 ? box.max.z : box.min.z, 1.0f);
            const glm::vec2 window = (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * glm::vec2(WINDOW_WIDTH, WINDOW_HEIGHT);
            low = glm::min(low, window);
            high = glm::max(high, window);
        }
        const Texels image = texelsOf(face->getTextures().at(0));
        const std::vector<std::uint8_t> screen = context.readColour();
        auto imageAt = [&](double u, double v) {
            const int column = std::clamp(static_cast<int>(u * image.width), 0, image.width - 1);
            const int row = std::clamp(static_cast<int>(v * image.height), 0, image.height - 1);
            return luminance(&image.rgba[(static_cast<std::size_t>(row) * image.width + column) * 4]);
        };
        // Summed luminance differences from the image as it is, mirrored and upside down. u runs
        // left to right on the window, v from the top down as the image's rows do, both kept a
        // little off the edges.
        glm::dvec3 difference(0.0);
        for (double v = 0.05; v < 0.95; v += 0.02)
            for (double u = 0.05; u < 0.95; u += 0.01) {
                const int x = std::clamp(static_cast<int>(low.x + u * (high.x - low.x)), 0, WINDOW_WIDTH - 1);
                const int y = std::clamp(static_cast<int>(high.y - v * (high.y - low.y)), 0, WINDOW_HEIGHT - 1);
                const double seen = luminance(&screen[(static_cast<std::size_t>(y) * WINDOW_WIDTH + x) * 4]);
                difference += glm::abs(seen - glm::dvec3(imageAt(u, v), imageAt(1 - u, v), imageAt(u, 1 - v)));
            }
        EXPECT_LT(difference.x, 0.5 * std::min(difference.y, difference.z))
            << "differences from the image as it is, mirrored and upside down: " << difference.x << ", " << difference.y
            << ", " << difference.z;
        return high - low;
    }

    HeadlessContext context;
    ScratchFolder folder{std::filesystem::temp_directory_path()};
};

TEST_F(AssetsTest, EveryModelLoadsCleanlyWithModestTriangleCountsAndOnlyTheGlassPaneIsSeeThrough)
{
    std::vector<std::string> models(std::begin(OTHER_MODELS), std::end(OTHER_MODELS));
    models.insert(models.end(), std::begin(SHELLS), std::end(SHELLS));
    models.insert(models.end(), std::begin(STAIRS), std::end(STAIRS));
    models.insert(models.end(), std::begin(SIGNS), std::end(SIGNS));
    for (const std::string& asset : models) {
        SCOPED_TRACE(asset);
        testing::internal::CaptureStderr();
        const std::unique_ptr<Model> model = load(asset);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_FALSE(model->getMeshes().empty());
        // The game draws on a software rasteriser: a few hundred triangles at most per model.
        EXPECT_TRUE(model->triangleCount() > 0 && model->triangleCount() <= 400) << model->triangleCount();
        for (const Mesh* mesh : model->getMeshes()) {
            ASSERT_EQ(mesh->getTextures().size(), 1u);
            const Texels image = texelsOf(mesh->getTextures()[0]);
            ASSERT_GT(image.rgba.size(), 0u);
            double alphaSum = 0;
            for (std::size_t pixel = 3; pixel < image.rgba.size(); pixel += 4)
                alphaSum += image.rgba[pixel] / 255.0;
            const double meanAlpha = alphaSum / (image.width * image.height);
            if (asset == "glassdoor/door2.obj" && mesh == model->getMeshes().back())
                EXPECT_TRUE(meanAlpha > 0.25 && meanAlpha < 0.5) << "the glass pane's mean alpha " << meanAlpha;
            else
                EXPECT_EQ(meanAlpha, 1.0);
        }
    }
}

TEST_F(AssetsTest, ShellPiecesAreSolidBoxesAroundAHollowWalkwayAndDeadEndsCloseJustBehindTheDoors)
{
    // The player's space: the whole cross-section from the floor to above the lights.
    const Box walkway = {{-PIECE_HALF_LENGTH, 0, -TUNNEL_HALF_WIDTH},
                         {PIECE_HALF_LENGTH, LIGHT_HEIGHT + 5, TUNNEL_HALF_WIDTH}};
    // Doors stand 1 in front of the end wall.
    const float doorBack = boxOf("tunnel/door.obj").min.x - PIECE_HALF_LENGTH + 1;
    for (const std::string& asset : SHELLS) {
        SCOPED_TRACE(asset);
        const std::unique_ptr<Model> model = load(asset);
        EXPECT_LE(model->triangleCount(), 100u); // drawn ten times a tunnel
        EXPECT_NEAR(model->bounds().first.x, PIECE_HALF_LENGTH, EPSILON);
        EXPECT_NEAR(model->bounds().second.x, -PIECE_HALF_LENGTH, 2.0f + EPSILON);
        bool floor = false, leftWall = false, rightWall = false, ceiling = false, endWall = false;
        for (const Mesh* mesh : model->getMeshes()) {
            const Box box = boxOf(mesh);
            EXPECT_FALSE(overlaps(box, walkway));
            // Every mesh is a solid with some thickness, so its collision box is too.
            EXPECT_TRUE(glm::all(glm::greaterThan(box.size(), glm::vec3(0.5f))));
            const bool fullHeight = box.min.y <= 0.0f && box.max.y >= LIGHT_HEIGHT + 10;
            // The door stands in front of the end wall, not in it, and close enough to look set into it.
            endWall = endWall || (box.spansTunnel() && fullHeight && box.max.x <= doorBack && box.max.x > doorBack - 1);
            if (box.min.x > -PIECE_HALF_LENGTH + EPSILON || box.max.x < PIECE_HALF_LENGTH - EPSILON)
                continue; // not the whole length of the piece
            floor = floor || (box.spansTunnel() && std::fabs(box.max.y) < EPSILON && box.min.y <= -8.0f);
            ceiling = ceiling || (box.spansTunnel() && box.min.y > LIGHT_HEIGHT);
            leftWall = leftWall || (fullHeight && box.max.z <= -TUNNEL_HALF_WIDTH + EPSILON);
            rightWall = rightWall || (fullHeight && box.min.z >= TUNNEL_HALF_WIDTH - EPSILON);
        }
        EXPECT_TRUE(floor && leftWall && rightWall && ceiling) << floor << leftWall << rightWall << ceiling;
        EXPECT_EQ(endWall, asset.find("deadend") != std::string::npos);
    }

    // The glasses show the same shapes in other images.
    const std::string twins[][2] = {{SHELLS[0], SHELLS[2]}, {SHELLS[1], SHELLS[3]}, {STAIRS[0], STAIRS[1]}};
    for (const auto& [realityFile, glassesFile] : twins) {
        SCOPED_TRACE(glassesFile);
        const std::unique_ptr<Model> reality = load(realityFile);
        const std::unique_ptr<Model> glasses = load(glassesFile);
        ASSERT_EQ(reality->getMeshes().size(), glasses->getMeshes().size());
        for (std::size_t i = 0; i < reality->getMeshes().size(); ++i) {
            EXPECT_EQ(reality->getMeshes()[i]->bounds(), glasses->getMeshes()[i]->bounds());
            EXPECT_NE(texelsOf(reality->getMeshes()[i]->getTextures()[0]).rgba,
                      texelsOf(glasses->getMeshes()[i]->getTextures()[0]).rgba);
        }
    }
}

TEST_F(AssetsTest, ThreePlacedStairPiecesClimbFromFloorZeroToTheRaisedFloorInSmallSteps)
{
    const Box hallway = boxOf(SHELLS[0]);
    for (const std::string& asset : STAIRS) {
        SCOPED_TRACE(asset);
        const std::unique_ptr<Model> stairs = load(asset);
        std::vector<Box> steps, others;
        for (const Mesh* mesh : stairs->getMeshes())
            (boxOf(mesh).max.y <= STAIR_PLACES[1].y + EPSILON ? steps : others).push_back(boxOf(mesh));
        ASSERT_GE(steps.size(), static_cast<std::size_t>(STAIR_PLACES[1].y / MAX_STEP_RISE));

        // Steps span the tunnel, with nothing but steps in the space a player needs above each.
        std::vector<Box> climb;
        for (const Box& step : steps) {
            EXPECT_TRUE(step.spansTunnel());
            const Box headroom = {{step.min.x, step.max.y, -TUNNEL_HALF_WIDTH},
                                  {step.max.x, step.max.y + LIGHT_HEIGHT, TUNNEL_HALF_WIDTH}};
            for (const std::vector<Box>* group : {&steps, &others})
                for (const Box& other : *group)
                    EXPECT_FALSE(overlaps(other, headroom));
            for (const glm::vec2& place : STAIR_PLACES)
                climb.push_back(step.shifted({place.x, place.y, 0}));
        }
        std::sort(climb.begin(), climb.end(), [](const Box& a, const Box& b) { return a.min.x < b.min.x; });
        EXPECT_LE(climb.front().min.x, LOWER_HALLWAY_X + hallway.max.x);
        EXPECT_TRUE(climb.front().max.y > 0.0f && climb.front().max.y <= MAX_STEP_RISE + EPSILON);
        for (std::size_t i = 1; i < climb.size(); ++i) {
            const float rise = climb[i].max.y - climb[i - 1].max.y;
            EXPECT_TRUE(climb[i].min.x <= climb[i - 1].max.x + EPSILON && rise >= 0 && rise <= MAX_STEP_RISE + EPSILON)
                << "step " << i << " at x " << climb[i].min.x << " rises " << rise;
        }
        EXPECT_NEAR(climb.back().max.y, RAISED_FLOOR, EPSILON);
        EXPECT_GE(climb.back().max.x, RAISED_HALLWAY_X + hallway.min.x - EPSILON);
    }
}

TEST_F(AssetsTest, DoorsPortalTrainKeysSwitchCubeAndButtonFitWhereTheLevelPlacesThem)
{
    // A door is 8 wide on the centre line, stands on the floor, twice the player's height, thin.
    const Box door = boxOf("tunnel/door.obj");
    EXPECT_TRUE(std::fabs(door.size().z - 8) < EPSILON && std::fabs(door.min.z + door.max.z) < EPSILON &&
                std::fabs(door.min.y) < EPSILON && door.max.y > 2 * PLAYER_HEIGHT && door.size().x < 2.0f);
    EXPECT_TRUE(sameDoorway(door, boxOf("tunnel/finaldoor.obj")));
    // The portal's surface fills the doorway, thin about x = 0; its frame's bars stand around it.
    const Box surface = boxOf("portal/portal.obj");
    EXPECT_TRUE(sameDoorway(door, surface) && surface.min.x < 0.0f && surface.max.x > 0.0f && surface.size().x <= 0.5f);
    const std::unique_ptr<Model> frame = load("portal/portalFrame.obj");
    EXPECT_GE(frame->getMeshes().size(), 3u);
    for (const Mesh* bar : frame->getMeshes())
        EXPECT_FALSE(overlaps(boxOf(bar), surface));
    EXPECT_TRUE(covers({frame->bounds().second, frame->bounds().first},
                       {{0, surface.min.y, surface.min.z}, {0, surface.max.y, surface.max.z}}));
    const Box glassDoor = boxOf("glassdoor/door2.obj");
    EXPECT_TRUE(covers(door, glassDoor) && glassDoor.size().z > door.size().z - 0.5f &&
                glassDoor.max.y > 2 * PLAYER_HEIGHT);

    // The train turns when its box holds a point 1 above the floor on the centre line, reaches
    // its turning points 31.5 either side, and leaves room beside it; its wheels turn about z
    // and, hung 2 above the train's origin, touch the floor.
    const Box train = boxOf("train/train1.obj");
    EXPECT_TRUE(covers(train, {{-31.5f, 1, 0}, {31.5f, 1, 0}}) && train.size().z <= TUNNEL_HALF_WIDTH &&
                train.max.y > PLAYER_HEIGHT);
    const Box wheel = boxOf("train/wheel.obj");
    EXPECT_LT(glm::length(wheel.min + wheel.max), EPSILON);
    EXPECT_TRUE(std::fabs(wheel.size().x - wheel.size().y) < 0.1f && wheel.size().z < wheel.size().x);
    EXPECT_NEAR(2.0f + wheel.min.y, 0.0f, 0.1f);

    // Keys, drawn at half size 11 above the floor, reach the player's eye; both keys are one shape.
    const Box key = boxOf("tunnel/old_key3.obj");
    const Box seeThroughKey = boxOf("tunnel/old_key_transparent.obj");
    EXPECT_TRUE(11 + key.min.y / 2 > 0 && 11 + key.min.y / 2 <= EYE_HEIGHT && 11 + key.max.y / 2 >= EYE_HEIGHT);
    EXPECT_NEAR(std::max({key.size().x, key.size().y, key.size().z}), 12.0f, 1.0f);
    EXPECT_TRUE(seeThroughKey.min == key.min && seeThroughKey.max == key.max);

    // The switch sits on the inside of the +z wall (at the origin's z); its lever stands mostly
    // above the pivot, so that the half turn about z sends it mostly below.
    const Box back = boxOf("tunnel/schalterback1.obj");
    const Box lever = boxOf("tunnel/schalterfront.obj");
    EXPECT_TRUE(back.max.z <= EPSILON && lever.max.z <= EPSILON && back.min.z > -2.0f && lever.min.z < back.min.z);
    EXPECT_TRUE(lever.max.y > 2.0f && -lever.min.y < 1.0f && lever.max.y > 3 * -lever.min.y);

    // The puzzles' cubes are 4 wide with the origin 1 above their base; the button hangs centred
    // on the far end wall, facing the player coming along +x.
    const Box cube = boxOf("tunnel/cube.obj");
    EXPECT_TRUE(cube.min == glm::vec3(-2, -1, -2) && cube.max == glm::vec3(2, 3, 2));
    const Box button = boxOf("tunnel/button1.obj");
    EXPECT_TRUE(button.max.x <= EPSILON && button.min.x < -0.5f && button.min.x > -2.0f);
    EXPECT_LT(glm::length(glm::vec2(button.min.y + button.max.y, button.min.z + button.max.z)), 0.1f);
}

TEST_F(AssetsTest, SignsStandOnTheFloorAndSignsAndEndScreensReadTheRightWayRound)
{
    for (const std::string& asset : SIGNS) {
        SCOPED_TRACE(asset);
        const std::unique_ptr<Model> sign = load(asset);
        const Box box = boxOf(asset);
        EXPECT_TRUE(std::fabs(box.min.y) < EPSILON && box.size().x < 1.0f && box.max.x <= EPSILON);
        // The painted face is the one flat mesh; the reader stands in front of it at eye height.
        const Mesh* face = nullptr;
        for (const Mesh* mesh : sign->getMeshes())
            face = boxOf(mesh).size().x < EPSILON ? mesh : face;
        ASSERT_NE(face, nullptr);
        EXPECT_LE(boxOf(face).min.y, EYE_HEIGHT + 2);
        const glm::vec3 centre = (boxOf(face).min + boxOf(face).max) * 0.5f;
        expectReadsRightWayRound(*sign, face, glm::mat4(1.0f), centre - glm::vec3(14, 0, 0), centre, asset);
    }

    // The end screen is placed at (3000, 0, 0), turned half round about y, and seen from 10 in
    // front: it fills most of the view without spilling far over its edges.
    const glm::mat4 placement =
        glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(3000, 0, 0)), glm::radians(180.0f), glm::vec3(0, 1, 0));
    for (const std::string asset : {"screens/won.obj", "screens/lost.obj"}) {
        SCOPED_TRACE(asset);
        const std::unique_ptr<Model> screen = load(asset);
        ASSERT_EQ(screen->getMeshes().size(), 1u);
        const glm::vec2 share = expectReadsRightWayRound(*screen, screen->getMeshes()[0], placement,
                                                         {2990, -1.3f, -0.5f}, {3000, -1.3f, -0.5f}, asset) /
                                glm::vec2(WINDOW_WIDTH, WINDOW_HEIGHT);
        EXPECT_TRUE(glm::all(glm::greaterThan(share, glm::vec2(0.75f)) && glm::lessThan(share, glm::vec2(1.05f))));
    }
}
