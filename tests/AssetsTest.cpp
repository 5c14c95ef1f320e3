// The generated models as the game uses them: loaded with the real Model class, checked for
// the shapes that collision, placement and the puzzles rely on, and drawn to see that signs and
// end screens read the right way round.
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ShaderProgram.h"
#include "support/RenderChecks.h"
#include "support/RenderFixture.h"
#include "support/TestData.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Model files below assets/: with the shells, stairs and signs, the other models are every
// model the level loads, and the two end screens.
const std::vector<std::string> SHELLS = {
    "tunnel/reality/dungeon_large_hallway3.obj", "tunnel/reality/dungeon_large_deadend.obj",
    "tunnel/glasses/dungeon_large_hallway2.obj", "tunnel/glasses/dungeon_large_deadend.obj"};
const std::vector<std::string> STAIRS = {"tunnel/reality/dungeon_large_stairs24.obj",
                                         "tunnel/glasses/dungeon_large_stairs24.obj"};
const std::vector<std::string> SIGNS = {"hints/switchViewSign.obj", "hints/unlockNewTunnelSign.obj",
                                        "hints/patienceIsGoldSign.obj", "hints/changeMultipleViewSign.obj",
                                        "hints/switchesNumberSign.obj"};
const std::vector<std::string> OTHER_MODELS = {
    "tunnel/door.obj",          "tunnel/finaldoor.obj",     "tunnel/old_key3.obj", "tunnel/old_key_transparent.obj",
    "tunnel/schalterback1.obj", "tunnel/schalterfront.obj", "tunnel/cube.obj",     "tunnel/button1.obj",
    "glassdoor/door2.obj",      "train/train1.obj",         "train/wheel.obj",     "portal/portal.obj",
    "portal/portalFrame.obj",   "screens/won.obj",          "screens/lost.obj"};

// The tunnel: 40 wide in z around its centre line, shell pieces 40 long, spot lights 40 up. The
// player's eye settles 4 above the floor, his box reaching 4 above and below it.
const float TUNNEL_HALF_WIDTH = 20.0f;
const float PIECE_HALF_LENGTH = 20.0f;
const float LIGHT_HEIGHT = 40.0f;
const float EYE_HEIGHT = 4.0f;
const float PLAYER_HEIGHT = 8.0f;
const float EPSILON = 1e-3f;

std::unique_ptr<Model> load(const std::string& path)
{
    const std::filesystem::path file(path);
    return std::make_unique<Model>(file.parent_path().string(), file.filename().string());
}

// An axis-aligned box of a mesh or model, as the game builds its collision boxes from them.
struct Box {
    glm::vec3 min, max;
    static Box of(const std::pair<glm::vec3, glm::vec3>& maxAndMin) { return {maxAndMin.second, maxAndMin.first}; }
    static Box of(const std::string& path) { return of(load(path)->bounds()); }
    glm::vec3 size() const { return max - min; }
    bool spansTunnel() const { return min.z <= -TUNNEL_HALF_WIDTH + EPSILON && max.z >= TUNNEL_HALF_WIDTH - EPSILON; }
    // A doorway's height from the floor and width across the tunnel.
    glm::vec4 doorway() const { return {min.y, min.z, max.y, max.z}; }
    // True when the boxes share some volume, not just a face.
    bool overlaps(const Box& other) const
    {
        return glm::all(glm::lessThan(min, other.max - EPSILON) && glm::greaterThan(max, other.min + EPSILON));
    }
    bool covers(const Box& inner) const
    {
        return glm::all(glm::lessThanEqual(min, inner.min + EPSILON) &&
                        glm::greaterThanEqual(max, inner.max - EPSILON));
    }
};

// Luminance of an RGBA picture stored row after row, at a point given as shares of its size.
double luminance(const std::vector<std::uint8_t>& rgba, glm::ivec2 size, glm::dvec2 at)
{
    const glm::ivec2 pixel = glm::clamp(glm::ivec2(at * glm::dvec2(size)), glm::ivec2(0), size - 1);
    const std::uint8_t* rgb = &rgba[(static_cast<std::size_t>(pixel.y) * size.x + pixel.x) * 4];
    return 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
}

} // namespace

class AssetsTest : public RenderFixture {
protected:
    // Draws a model as the game's camera would see it (60 degrees, 4:3), keeps the picture and
    // expects its flat face, facing the eye, to match the face's image as it is, better than the
    // image mirrored left to right or turned upside down. Returns the face's size on the window.
    glm::vec2 expectReadsRightWayRound(const Model& model, const Mesh* face, const glm::mat4& placement, glm::vec3 eye,
                                       glm::vec3 target, const std::string& picture)
    {
        const auto program = std::make_unique<ShaderProgram>(testData("textured_v.glsl"), testData("textured_f.glsl"));
        const glm::mat4 view = glm::lookAt(eye, target, glm::vec3(0, 1, 0));
        const glm::mat4 projection = glm::perspective(glm::radians(60.0f), WINDOW_ASPECT, 1.0f, 500.0f);
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        program->use(true);
        program->setModel(placement);
        program->setView(view);
        program->setProj(projection);
        model.draw();
        program->use(false);
        savePicture("asset-views/" + picture + ".png");

        // Flat and facing the eye, the face spans the window rectangle between its box's corners.
        const glm::ivec2 window(WINDOW_WIDTH, WINDOW_HEIGHT);
        auto onWindow = [&](glm::vec3 corner) {
            const glm::vec4 clip = projection * view * placement * glm::vec4(corner, 1.0f);
            return (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * glm::vec2(window);
        };
        const Box box = Box::of(face->bounds());
        const glm::vec2 low = glm::min(onWindow(box.min), onWindow(box.max));
        const glm::vec2 high = glm::max(onWindow(box.min), onWindow(box.max));
        const Texels image = texelsOf(face->getTextures().at(0));
        const glm::ivec2 imageSize(image.width, image.height);
        const std::vector<std::uint8_t> screen = readFrame();
        // Summed luminance differences from the image as it is, mirrored and upside down. u runs
        // left to right on the window, v from the top down as the image's rows do, both kept a
        // little off the edges.
        glm::dvec3 difference(0.0);
        for (double v = 0.05; v < 0.95; v += 0.02)
            for (double u = 0.05; u < 0.95; u += 0.01) {
                const glm::dvec2 seenAt =
                    (glm::dvec2(low) + glm::dvec2(u, 1 - v) * glm::dvec2(high - low)) / glm::dvec2(window);
                const glm::dvec3 painted(luminance(image.rgba, imageSize, {u, v}),
                                         luminance(image.rgba, imageSize, {1 - u, v}),
                                         luminance(image.rgba, imageSize, {u, 1 - v}));
                difference += glm::abs(luminance(screen, window, seenAt) - painted);
            }
        EXPECT_LT(difference.x, 0.5 * std::min(difference.y, difference.z))
            << "differences from the image as it is, mirrored and upside down: " << difference.x << ", " << difference.y
            << ", " << difference.z;
        return high - low;
    }
};

TEST_F(AssetsTest, EveryModelLoadsCleanlyWithModestTriangleCountsAndOnlyTheGlassPaneIsSeeThrough)
{
    for (const auto& group : {OTHER_MODELS, SHELLS, STAIRS, SIGNS})
        for (const std::string& asset : group) {
            SCOPED_TRACE(asset);
            testing::internal::CaptureStderr();
            const std::unique_ptr<Model> model = load(asset);
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            // The game draws on a software rasteriser: a few hundred triangles at most per model.
            EXPECT_TRUE(model->triangleCount() > 0 && model->triangleCount() <= 400) << model->triangleCount();
            for (const Mesh* mesh : model->getMeshes()) {
                ASSERT_EQ(mesh->getTextures().size(), 1u);
                const Texels image = texelsOf(mesh->getTextures()[0]);
                double alpha = 0;
                for (std::size_t pixel = 3; pixel < image.rgba.size(); pixel += 4)
                    alpha += image.rgba[pixel] / 255.0 / (image.width * image.height);
                const bool glassPane = asset == "glassdoor/door2.obj" && mesh == model->getMeshes().back();
                EXPECT_TRUE(glassPane ? alpha > 0.25 && alpha < 0.5 : std::fabs(alpha - 1.0) < 1e-9) << alpha;
            }
        }
}

TEST_F(AssetsTest, ShellPiecesAreSolidBoxesAroundAHollowWalkwayAndDeadEndsCloseJustBehindTheDoors)
{
    // The player's space: the whole cross-section from the floor to above the lights.
    const Box walkway = {{-PIECE_HALF_LENGTH, 0, -TUNNEL_HALF_WIDTH},
                         {PIECE_HALF_LENGTH, LIGHT_HEIGHT + 5, TUNNEL_HALF_WIDTH}};
    // Doors stand 1 in front of the end wall.
    const float doorBack = Box::of("tunnel/door.obj").min.x - PIECE_HALF_LENGTH + 1;
    for (const std::string& asset : SHELLS) {
        SCOPED_TRACE(asset);
        const std::unique_ptr<Model> model = load(asset);
        EXPECT_LE(model->triangleCount(), 100u); // drawn ten times a tunnel
        EXPECT_NEAR(model->bounds().first.x, PIECE_HALF_LENGTH, EPSILON);
        EXPECT_NEAR(model->bounds().second.x, -PIECE_HALF_LENGTH, 2.0f + EPSILON);
        bool floor = false, leftWall = false, rightWall = false, ceiling = false, endWall = false;
        for (const Mesh* mesh : model->getMeshes()) {
            const Box box = Box::of(mesh->bounds());
            // Every mesh is a solid with some thickness, so its collision box is too.
            EXPECT_TRUE(!box.overlaps(walkway) && glm::all(glm::greaterThan(box.size(), glm::vec3(0.5f))));
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
        const std::unique_ptr<Model> realityModel = load(realityFile), glassesModel = load(glassesFile);
        const std::vector<Mesh*> reality = realityModel->getMeshes(), glasses = glassesModel->getMeshes();
        ASSERT_EQ(reality.size(), glasses.size());
        for (std::size_t i = 0; i < reality.size(); ++i) {
            EXPECT_EQ(reality[i]->bounds(), glasses[i]->bounds());
            EXPECT_NE(texelsOf(reality[i]->getTextures()[0]).rgba, texelsOf(glasses[i]->getTextures()[0]).rgba);
        }
    }
}

TEST_F(AssetsTest, DoorsPortalTrainKeysSwitchCubeAndButtonFitWhereTheLevelPlacesThem)
{
    // A door is 8 wide on the centre line, stands on the floor, twice the player's height, thin.
    const Box door = Box::of("tunnel/door.obj");
    EXPECT_TRUE(std::fabs(door.size().z - 8) < EPSILON && std::fabs(door.min.z + door.max.z) < EPSILON &&
                std::fabs(door.min.y) < EPSILON && door.max.y > 2 * PLAYER_HEIGHT && door.size().x < 2.0f);
    EXPECT_LT(glm::distance(door.doorway(), Box::of("tunnel/finaldoor.obj").doorway()), EPSILON);
    // The portal's surface fills the doorway, thin about x = 0; its frame's bars stand around it.
    const Box surface = Box::of("portal/portal.obj");
    EXPECT_LT(glm::distance(door.doorway(), surface.doorway()), EPSILON);
    EXPECT_TRUE(surface.min.x < 0.0f && surface.max.x > 0.0f && surface.size().x <= 0.5f);
    const std::unique_ptr<Model> frame = load("portal/portalFrame.obj");
    EXPECT_GE(frame->getMeshes().size(), 3u);
    for (const Mesh* bar : frame->getMeshes())
        EXPECT_FALSE(Box::of(bar->bounds()).overlaps(surface));
    EXPECT_TRUE(
        Box::of(frame->bounds()).covers({{0, surface.min.y, surface.min.z}, {0, surface.max.y, surface.max.z}}));
    const Box glassDoor = Box::of("glassdoor/door2.obj");
    EXPECT_TRUE(door.covers(glassDoor) && glassDoor.size().z > door.size().z - 0.5f &&
                glassDoor.max.y > 2 * PLAYER_HEIGHT);

    // The train turns when its box holds a point 1 above the floor on the centre line, reaches
    // its turning points 31.5 either side, and leaves room beside it; its wheels turn about z
    // and, hung 2 above the train's origin, touch the floor.
    const Box train = Box::of("train/train1.obj");
    EXPECT_TRUE(train.covers({{-31.5f, 1, 0}, {31.5f, 1, 0}}) && train.size().z <= TUNNEL_HALF_WIDTH &&
                train.max.y > PLAYER_HEIGHT);
    const Box wheel = Box::of("train/wheel.obj");
    EXPECT_LT(glm::length(wheel.min + wheel.max), EPSILON);
    EXPECT_TRUE(std::fabs(wheel.size().x - wheel.size().y) < 0.1f && wheel.size().z < wheel.size().x);
    EXPECT_NEAR(2.0f + wheel.min.y, 0.0f, 0.1f);

    // Keys, drawn at half size 11 above the floor, reach the player's eye; both keys are one shape.
    const Box key = Box::of("tunnel/old_key3.obj");
    const Box seeThroughKey = Box::of("tunnel/old_key_transparent.obj");
    EXPECT_TRUE(11 + key.min.y / 2 > 0 && 11 + key.min.y / 2 <= EYE_HEIGHT && 11 + key.max.y / 2 >= EYE_HEIGHT);
    EXPECT_NEAR(std::max({key.size().x, key.size().y, key.size().z}), 12.0f, 1.0f);
    EXPECT_TRUE(seeThroughKey.min == key.min && seeThroughKey.max == key.max);

    // The switch sits on the inside of the +z wall (at the origin's z); its lever stands mostly
    // above the pivot, so that the half turn about z sends it mostly below.
    const Box back = Box::of("tunnel/schalterback1.obj");
    const Box lever = Box::of("tunnel/schalterfront.obj");
    EXPECT_TRUE(back.max.z <= EPSILON && lever.max.z <= EPSILON && back.min.z > -2.0f && lever.min.z < back.min.z);
    EXPECT_TRUE(lever.max.y > 2.0f && -lever.min.y < 1.0f && lever.max.y > 3 * -lever.min.y);

    // The puzzles' cubes are 4 wide with the origin 1 above their base; the button hangs centred
    // on the far end wall, facing the player coming along +x.
    const Box cube = Box::of("tunnel/cube.obj");
    EXPECT_TRUE(cube.min == glm::vec3(-2, -1, -2) && cube.max == glm::vec3(2, 3, 2));
    const Box button = Box::of("tunnel/button1.obj");
    EXPECT_TRUE(button.max.x <= EPSILON && button.min.x < -0.5f && button.min.x > -2.0f);
    EXPECT_LT(glm::length(glm::vec2(button.min.y + button.max.y, button.min.z + button.max.z)), 0.1f);
}

TEST_F(AssetsTest, SignsStandOnTheFloorAndSignsAndEndScreensReadTheRightWayRound)
{
    for (const std::string& asset : SIGNS) {
        SCOPED_TRACE(asset);
        const std::unique_ptr<Model> sign = load(asset);
        const Box box = Box::of(sign->bounds());
        EXPECT_TRUE(std::fabs(box.min.y) < EPSILON && box.size().x < 1.0f && box.max.x <= EPSILON);
        // The painted face is the one flat mesh; the reader stands in front of it at eye height.
        const auto meshes = sign->getMeshes();
        const auto face = std::find_if(meshes.begin(), meshes.end(),
                                       [](const Mesh* mesh) { return Box::of(mesh->bounds()).size().x < EPSILON; });
        ASSERT_NE(face, meshes.end());
        const Box faceBox = Box::of((*face)->bounds());
        EXPECT_LE(faceBox.min.y, EYE_HEIGHT + 2);
        const glm::vec3 centre = (faceBox.min + faceBox.max) * 0.5f;
        expectReadsRightWayRound(*sign, *face, glm::mat4(1.0f), centre - glm::vec3(14, 0, 0), centre, asset);
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
