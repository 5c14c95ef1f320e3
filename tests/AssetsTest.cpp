// The generated models as the game uses them: loaded with the real Model class, checked for
// the shapes that collision, placement and the puzzles rely on, and drawn to see that signs and
// end screens read the right way round.
#include "app/RenderSettings.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ShaderProgram.h"
#include "support/HeadlessContext.h"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

struct AssetFile {
    const char* folder;
    const char* file;
};

// Every model the level loads, and the two end screens.
const AssetFile GAME_MODELS[] = {
    {"tunnel/reality", "dungeon_large_hallway3.obj"}, {"tunnel/reality", "dungeon_large_deadend.obj"},
    {"tunnel/glasses", "dungeon_large_hallway2.obj"}, {"tunnel/glasses", "dungeon_large_deadend.obj"},
    {"train", "train1.obj"},                          {"train", "wheel.obj"},
    {"tunnel", "door.obj"},                           {"tunnel", "old_key3.obj"},
    {"glassdoor", "door2.obj"},                       {"tunnel", "old_key_transparent.obj"},
    {"tunnel", "schalterback1.obj"},                  {"tunnel", "schalterfront.obj"},
    {"tunnel", "cube.obj"},                           {"tunnel/reality", "dungeon_large_stairs24.obj"},
    {"tunnel/glasses", "dungeon_large_stairs24.obj"}, {"tunnel", "button1.obj"},
    {"hints", "switchViewSign.obj"},                  {"hints", "unlockNewTunnelSign.obj"},
    {"hints", "patienceIsGoldSign.obj"},              {"hints", "changeMultipleViewSign.obj"},
    {"hints", "switchesNumberSign.obj"},              {"tunnel", "finaldoor.obj"},
    {"portal", "portal.obj"},                         {"portal", "portalFrame.obj"},
    {"screens", "won.obj"},                           {"screens", "lost.obj"},
};

const AssetFile SIGNS[] = {
    {"hints", "switchViewSign.obj"},     {"hints", "unlockNewTunnelSign.obj"}, {"hints", "patienceIsGoldSign.obj"},
    {"hints", "changeMultipleViewSign.obj"}, {"hints", "switchesNumberSign.obj"},
};

// The tunnel: 40 wide in z around its centre line, shell pieces 40 long, spot lights 40 up.
const float TUNNEL_HALF_WIDTH = 20.0f;
const float PIECE_HALF_LENGTH = 20.0f;
const float LIGHT_HEIGHT = 40.0f;
// The player's box reaches 4 above and below the eye, which settles 4 above the floor.
const float EYE_HEIGHT = 4.0f;
const float PLAYER_HEIGHT = 8.0f;
// Doors stand 1 in front of the end walls; the far end piece is turned round at x + 360.
const float NEAR_DOOR_X = -19.0f;
// A door of the tunnel's layout is 8 wide.
const float DOOR_WIDTH = 8.0f;
// Stairs: three pieces at tunnel x + 189, 202, 215, raised by 0, 8, 16; straight piece 4 stands at
// x + 160 on floor 0 and straight piece 6 at x + 238 on the raised floor.
const float STAIR_PLACES[3][2] = {{189.0f, 0.0f}, {202.0f, 8.0f}, {215.0f, 16.0f}};
const float LOWER_HALLWAY_X = 160.0f;
const float RAISED_HALLWAY_X = 238.0f;
const float RAISED_FLOOR = 24.0f;
const float STAIR_PIECE_RISE = 8.0f;
// What the character steps up by itself is 0.5; steps stay a margin below that.
const float MAX_STEP_RISE = 0.4f;
// The train turns at points 1 above the floor on the centre line.
const float TRAIN_TURN_HEIGHT = 1.0f;
// Keys: drawn at half size, 11 above the floor.
const float KEY_SCALE = 0.5f;
const float KEY_HEIGHT = 11.0f;
// The end screen: placed at (3000, 0, 0), turned half round about y, seen from 10 in front.
const glm::vec3 SCREEN_POSITION(3000.0f, 0.0f, 0.0f);
const glm::vec3 SCREEN_EYE(2990.0f, -1.3f, -0.5f);
const glm::vec3 SCREEN_TARGET(3000.0f, -1.3f, -0.5f);

const float EPSILON = 1e-3f;

// An axis-aligned box of a mesh or model, as the game builds its collision boxes from them.
struct Box {
    glm::vec3 min;
    glm::vec3 max;
};

Box boxOf(const Mesh* mesh)
{
    return {mesh->bounds().second, mesh->bounds().first};
}

Box boxOf(const Model& model)
{
    return {model.bounds().second, model.bounds().first};
}

Box shifted(Box box, glm::vec3 offset)
{
    return {box.min + offset, box.max + offset};
}

// True when the boxes share some volume, not just a face.
bool overlaps(const Box& a, const Box& b)
{
    for (int axis = 0; axis < 3; ++axis)
        if (a.min[axis] >= b.max[axis] - EPSILON || a.max[axis] <= b.min[axis] + EPSILON)
            return false;
    return true;
}

bool covers(const Box& outer, const Box& inner)
{
    for (int axis = 0; axis < 3; ++axis)
        if (outer.min[axis] > inner.min[axis] + EPSILON || outer.max[axis] < inner.max[axis] - EPSILON)
            return false;
    return true;
}

std::string describe(const Box& box)
{
    auto point = [](glm::vec3 p) {
        return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) + ")";
    };
    return point(box.min) + " .. " + point(box.max);
}

// Textured, with a little directional shading so that shapes read in the saved pictures.
const char* const VIEW_VERTEX_SHADER = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;
uniform mat4 model;
uniform mat4 view;
uniform mat4 proj;
out vec2 surfaceTexCoord;
out vec3 worldNormal;
void main()
{
    surfaceTexCoord = texCoord;
    worldNormal = mat3(model) * normal;
    gl_Position = proj * view * model * vec4(position, 1.0);
}
)";
const char* const VIEW_FRAGMENT_SHADER = R"(#version 330 core
in vec2 surfaceTexCoord;
in vec3 worldNormal;
uniform sampler2D diffuseTexture;
out vec4 outColor;
void main()
{
    float light = 0.75 + 0.25 * abs(dot(normalize(worldNormal), normalize(vec3(-0.5, 0.8, 0.3))));
    vec4 texel = texture(diffuseTexture, surfaceTexCoord);
    outColor = vec4(texel.rgb * light, 1.0);
}
)";

double luminance(const std::uint8_t* rgb)
{
    return 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
}

double correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    double meanA = 0;
    double meanB = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        meanA += a[i];
        meanB += b[i];
    }
    meanA /= a.size();
    meanB /= b.size();
    double covariance = 0;
    double varianceA = 0;
    double varianceB = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        covariance += (a[i] - meanA) * (b[i] - meanB);
        varianceA += (a[i] - meanA) * (a[i] - meanA);
        varianceB += (b[i] - meanB) * (b[i] - meanB);
    }
    return covariance / std::sqrt(varianceA * varianceB + 1e-12);
}

} // namespace

class AssetsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.ok());
        renderSettings = RenderSettings();
        std::filesystem::create_directories(scratchFolder());
    }

    void TearDown() override { std::filesystem::remove_all(scratchFolder()); }

    std::string scratchFolder() const { return "assets/test-" + std::to_string(getpid()); }

    static std::unique_ptr<Model> load(const AssetFile& asset)
    {
        return std::make_unique<Model>(asset.folder, asset.file);
    }

    // The texels of level 0 of a texture, RGBA, top image row first.
    static std::vector<std::uint8_t> texels(GLuint texture, int& width, int& height)
    {
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return rgba;
    }

    const ShaderProgram& viewProgram()
    {
        if (!program) {
            std::ofstream(scratchFolder() + "/view_v.glsl") << VIEW_VERTEX_SHADER;
            std::ofstream(scratchFolder() + "/view_f.glsl") << VIEW_FRAGMENT_SHADER;
            program = std::make_unique<ShaderProgram>(scratchFolder() + "/view_v.glsl", scratchFolder() + "/view_f.glsl");
        }
        return *program;
    }

    // Draws the model as the game's camera would see it (60 degrees, 4:3) on a dark grey background.
    void render(const Model& model, const glm::mat4& placement, glm::vec3 eye, glm::vec3 target)
    {
        const ShaderProgram& shader = viewProgram();
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        shader.use(true);
        shader.setModel(placement);
        shader.setView(glm::lookAt(eye, target, glm::vec3(0, 1, 0)));
        shader.setProj(projection());
        model.draw();
        shader.use(false);
    }

    static glm::mat4 projection() { return glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 1.0f, 500.0f); }

    void save(const std::string& name) const
    {
        std::filesystem::create_directories("asset-views");
        context.savePng(("asset-views/" + name + ".png").c_str());
    }

    // How well the rendered picture of a flat, textured mesh matches its image as it is, against
    // the image mirrored left to right and upside down. The mesh's screen rectangle comes from
    // projecting its box.
    struct Orientation {
        double upright;
        double mirrored;
        double upsideDown;
        float screenWidth;
        float screenHeight;
    };
    Orientation orientation(const Mesh* face, const glm::mat4& placement, glm::vec3 eye, glm::vec3 target) const
    {
        const glm::mat4 toClip = projection() * glm::lookAt(eye, target, glm::vec3(0, 1, 0)) * placement;
        const Box box = boxOf(face);
        float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
        for (int corner = 0; corner < 8; ++corner) {
            const glm::vec4 point(corner & 1 ? box.max.x : box.min.x, corner & 2 ? box.max.y : box.min.y,
                                  corner & 4 ? box.max.z : box.min.z, 1.0f);
            const glm::vec4 clip = toClip * point;
            const float x = (clip.x / clip.w * 0.5f + 0.5f) * 800.0f;
            const float y = (clip.y / clip.w * 0.5f + 0.5f) * 600.0f;
            left = std::min(left, x);
            right = std::max(right, x);
            bottom = std::min(bottom, y);
            top = std::max(top, y);
        }
        int width = 0;
        int height = 0;
        const std::vector<std::uint8_t> image = texels(face->getTextures().at(0), width, height);
        const std::vector<std::uint8_t> screen = context.readColour();
        auto imageAt = [&](double u, double v) {
            const int column = std::clamp(static_cast<int>(u * width), 0, width - 1);
            const int row = std::clamp(static_cast<int>(v * height), 0, height - 1);
            return luminance(&image[(static_cast<std::size_t>(row) * width + column) * 4]);
        };
        std::vector<double> rendered, upright, mirrored, upsideDown;
        const double inset = 0.04;
        for (int row = 0; row < 40; ++row)
            for (int column = 0; column < 80; ++column) {
                // u runs left to right on the screen, v from the top down, as the image's rows do.
                const double u = inset + (1 - 2 * inset) * (column + 0.5) / 80.0;
                const double v = inset + (1 - 2 * inset) * (row + 0.5) / 40.0;
                const int x = std::clamp(static_cast<int>(left + u * (right - left)), 0, 799);
                const int y = std::clamp(static_cast<int>(top - v * (top - bottom)), 0, 599);
                rendered.push_back(luminance(&screen[(static_cast<std::size_t>(y) * 800 + x) * 4]));
                upright.push_back(imageAt(u, v));
                mirrored.push_back(imageAt(1 - u, v));
                upsideDown.push_back(imageAt(u, 1 - v));
            }
        return {correlation(rendered, upright), correlation(rendered, mirrored), correlation(rendered, upsideDown),
                right - left, top - bottom};
    }

    HeadlessContext context;
    std::unique_ptr<ShaderProgram> program;
};

TEST_F(AssetsTest, EveryModelLoadsCleanlyWithATextureOnEveryMeshAndModestTriangleCounts)
{
    for (const AssetFile& asset : GAME_MODELS) {
        SCOPED_TRACE(std::string(asset.folder) + "/" + asset.file);
        testing::internal::CaptureStderr();
        const std::unique_ptr<Model> model = load(asset);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

        ASSERT_FALSE(model->getMeshes().empty());
        EXPECT_GT(model->triangleCount(), 0u);
        // The game draws on a software rasteriser: a few hundred triangles at most per model.
        EXPECT_LE(model->triangleCount(), 400u);
        for (const Mesh* mesh : model->getMeshes()) {
            ASSERT_EQ(mesh->getTextures().size(), 1u);
            EXPECT_NE(mesh->getTextures()[0], 0u);
            EXPECT_GT(mesh->getIndexCount(), 0u);
        }
    }
}

TEST_F(AssetsTest, OnlyTheGlassPaneIsSeeThrough)
{
    for (const AssetFile& asset : GAME_MODELS) {
        SCOPED_TRACE(std::string(asset.folder) + "/" + asset.file);
        const std::unique_ptr<Model> model = load(asset);
        for (const Mesh* mesh : model->getMeshes()) {
            int width = 0;
            int height = 0;
            const std::vector<std::uint8_t> image = texels(mesh->getTextures().at(0), width, height);
            double alphaSum = 0;
            for (std::size_t pixel = 3; pixel < image.size(); pixel += 4)
                alphaSum += image[pixel];
            const double meanAlpha = alphaSum / (width * height) / 255.0;
            const bool glassPane = std::string(asset.folder) == "glassdoor" && mesh == model->getMeshes().back();
            if (glassPane) {
                EXPECT_GT(meanAlpha, 0.25);
                EXPECT_LT(meanAlpha, 0.5);
            } else {
                EXPECT_EQ(meanAlpha, 1.0);
            }
        }
    }
}

TEST_F(AssetsTest, ShellPiecesAreSeparateBoxesAroundAHollowWalkway)
{
    const AssetFile shells[] = {{"tunnel/reality", "dungeon_large_hallway3.obj"},
                                {"tunnel/reality", "dungeon_large_deadend.obj"},
                                {"tunnel/glasses", "dungeon_large_hallway2.obj"},
                                {"tunnel/glasses", "dungeon_large_deadend.obj"}};
    for (const AssetFile& asset : shells) {
        SCOPED_TRACE(std::string(asset.folder) + "/" + asset.file);
        const std::unique_ptr<Model> model = load(asset);
        EXPECT_LE(model->triangleCount(), 100u);
        const Box piece = boxOf(*model);
        EXPECT_NEAR(piece.min.x, -PIECE_HALF_LENGTH, 2.0f + EPSILON);
        EXPECT_NEAR(piece.max.x, PIECE_HALF_LENGTH, EPSILON);

        // The player's space: the whole tunnel cross-section from the floor to above the lights.
        const Box walkway = {{-PIECE_HALF_LENGTH, 0, -TUNNEL_HALF_WIDTH},
                             {PIECE_HALF_LENGTH, LIGHT_HEIGHT + 5, TUNNEL_HALF_WIDTH}};
        bool floor = false, leftWall = false, rightWall = false, ceiling = false;
        for (const Mesh* mesh : model->getMeshes()) {
            const Box box = boxOf(mesh);
            EXPECT_FALSE(overlaps(box, walkway)) << describe(box);
            // Every mesh is a solid with some thickness, so its collision box is too.
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_GT(box.max[axis] - box.min[axis], 0.5f) << describe(box);
            const Box fullLength = {{-PIECE_HALF_LENGTH, 0, 0}, {PIECE_HALF_LENGTH, 0, 0}};
            if (!covers({{box.min.x, 0, 0}, {box.max.x, 0, 0}}, fullLength))
                continue;
            floor = floor || (std::fabs(box.max.y) < EPSILON && box.min.y <= -8.0f &&
                              box.min.z <= -TUNNEL_HALF_WIDTH + EPSILON && box.max.z >= TUNNEL_HALF_WIDTH - EPSILON);
            ceiling = ceiling || (box.min.y > LIGHT_HEIGHT && box.min.z <= -TUNNEL_HALF_WIDTH + EPSILON &&
                                  box.max.z >= TUNNEL_HALF_WIDTH - EPSILON);
            const bool fullHeight = box.min.y <= 0.0f && box.max.y >= LIGHT_HEIGHT + 10;
            leftWall = leftWall || (fullHeight && box.max.z <= -TUNNEL_HALF_WIDTH + EPSILON);
            rightWall = rightWall || (fullHeight && box.min.z >= TUNNEL_HALF_WIDTH - EPSILON);
        }
        EXPECT_TRUE(floor);
        EXPECT_TRUE(leftWall);
        EXPECT_TRUE(rightWall);
        EXPECT_TRUE(ceiling);
    }
}

TEST_F(AssetsTest, DeadEndsCloseTheTunnelJustBehindTheDoors)
{
    const std::unique_ptr<Model> door = load({"tunnel", "door.obj"});
    const Box doorAtNearEnd = shifted(boxOf(*door), {NEAR_DOOR_X, 0, 0});
    for (const char* view : {"tunnel/reality", "tunnel/glasses"}) {
        SCOPED_TRACE(view);
        const std::unique_ptr<Model> deadEnd = load({view, "dungeon_large_deadend.obj"});
        const Box crossSection = {{-PIECE_HALF_LENGTH, 0, -TUNNEL_HALF_WIDTH},
                                  {-PIECE_HALF_LENGTH, LIGHT_HEIGHT + 10, TUNNEL_HALF_WIDTH}};
        const Mesh* endWall = nullptr;
        for (const Mesh* mesh : deadEnd->getMeshes())
            if (boxOf(mesh).max.x <= -PIECE_HALF_LENGTH + EPSILON && covers(boxOf(mesh), {crossSection.min - glm::vec3(0.5f, 0, 0), crossSection.max}))
                endWall = mesh;
        ASSERT_NE(endWall, nullptr);
        // The door stands in front of the wall, not in it, and close enough to look set into it.
        EXPECT_GE(doorAtNearEnd.min.x, boxOf(endWall).max.x);
        EXPECT_LT(doorAtNearEnd.min.x - boxOf(endWall).max.x, 1.0f);
    }
}

TEST_F(AssetsTest, RealityAndGlassesShellsShareTheirGeometry)
{
    const std::pair<AssetFile, AssetFile> twins[] = {
        {{"tunnel/reality", "dungeon_large_hallway3.obj"}, {"tunnel/glasses", "dungeon_large_hallway2.obj"}},
        {{"tunnel/reality", "dungeon_large_deadend.obj"}, {"tunnel/glasses", "dungeon_large_deadend.obj"}},
        {{"tunnel/reality", "dungeon_large_stairs24.obj"}, {"tunnel/glasses", "dungeon_large_stairs24.obj"}},
    };
    for (const auto& [reality, glasses] : twins) {
        SCOPED_TRACE(reality.file);
        const std::unique_ptr<Model> realityModel = load(reality);
        const std::unique_ptr<Model> glassesModel = load(glasses);
        ASSERT_EQ(realityModel->getMeshes().size(), glassesModel->getMeshes().size());
        for (std::size_t i = 0; i < realityModel->getMeshes().size(); ++i) {
            EXPECT_EQ(realityModel->getMeshes()[i]->bounds(), glassesModel->getMeshes()[i]->bounds());
            // Same shape, different look.
            int width = 0, height = 0, otherWidth = 0, otherHeight = 0;
            EXPECT_NE(texels(realityModel->getMeshes()[i]->getTextures()[0], width, height),
                      texels(glassesModel->getMeshes()[i]->getTextures()[0], otherWidth, otherHeight));
        }
    }
}

TEST_F(AssetsTest, ThreePlacedStairPiecesClimbFromFloorZeroToTheRaisedFloorInSmallSteps)
{
    for (const char* view : {"tunnel/reality", "tunnel/glasses"}) {
        SCOPED_TRACE(view);
        const std::unique_ptr<Model> stairs = load({view, "dungeon_large_stairs24.obj"});
        const std::unique_ptr<Model> hallway = load({view, std::string(view) == "tunnel/reality"
                                                               ? "dungeon_large_hallway3.obj"
                                                               : "dungeon_large_hallway2.obj"});

        std::vector<Box> steps;
        std::vector<Box> others;
        for (const Mesh* mesh : stairs->getMeshes()) {
            const Box box = boxOf(mesh);
            (box.max.y <= STAIR_PIECE_RISE + EPSILON ? steps : others).push_back(box);
        }
        ASSERT_GE(steps.size(), static_cast<std::size_t>(STAIR_PIECE_RISE / MAX_STEP_RISE));
        EXPECT_LE(stairs->triangleCount(), 400u);

        // Nothing but steps in the space a player needs above each step.
        for (const Box& step : steps) {
            EXPECT_LE(step.min.z, -TUNNEL_HALF_WIDTH + EPSILON);
            EXPECT_GE(step.max.z, TUNNEL_HALF_WIDTH - EPSILON);
            const Box headroom = {{step.min.x, step.max.y, -TUNNEL_HALF_WIDTH},
                                  {step.max.x, step.max.y + LIGHT_HEIGHT, TUNNEL_HALF_WIDTH}};
            for (const Box& other : others)
                EXPECT_FALSE(overlaps(other, headroom)) << describe(other);
            for (const Box& otherStep : steps)
                EXPECT_FALSE(overlaps(otherStep, headroom)) << describe(otherStep);
        }

        std::vector<Box> climb;
        for (const auto& place : STAIR_PLACES)
            for (const Box& step : steps)
                climb.push_back(shifted(step, {place[0], place[1], 0}));
        std::sort(climb.begin(), climb.end(), [](const Box& a, const Box& b) { return a.min.x < b.min.x; });

        const float lowerFloorEnd = LOWER_HALLWAY_X + boxOf(*hallway).max.x;
        const float raisedFloorStart = RAISED_HALLWAY_X + boxOf(*hallway).min.x;
        EXPECT_LE(climb.front().min.x, lowerFloorEnd);
        EXPECT_LE(climb.front().max.y, MAX_STEP_RISE + EPSILON);
        EXPECT_GT(climb.front().max.y, 0.0f);
        for (std::size_t i = 1; i < climb.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i) + " at x " + std::to_string(climb[i].min.x));
            EXPECT_LE(climb[i].min.x, climb[i - 1].max.x + EPSILON);
            EXPECT_GE(climb[i].max.y, climb[i - 1].max.y);
            EXPECT_LE(climb[i].max.y - climb[i - 1].max.y, MAX_STEP_RISE + EPSILON);
        }
        EXPECT_NEAR(climb.back().max.y, RAISED_FLOOR, EPSILON);
        EXPECT_GE(climb.back().max.x, raisedFloorStart - EPSILON);
    }
}

TEST_F(AssetsTest, DoorsPortalAndGlassDoorFillTheDoorway)
{
    const std::unique_ptr<Model> door = load({"tunnel", "door.obj"});
    const Box doorBox = boxOf(*door);
    EXPECT_NEAR(doorBox.max.z - doorBox.min.z, DOOR_WIDTH, EPSILON);
    EXPECT_NEAR(doorBox.min.z + doorBox.max.z, 0.0f, EPSILON);
    EXPECT_NEAR(doorBox.min.y, 0.0f, EPSILON);
    EXPECT_GT(doorBox.max.y, PLAYER_HEIGHT * 2);
    EXPECT_LT(doorBox.max.x - doorBox.min.x, 2.0f);

    const Box finalDoor = boxOf(*load({"tunnel", "finaldoor.obj"}));
    EXPECT_NEAR(finalDoor.min.z, doorBox.min.z, EPSILON);
    EXPECT_NEAR(finalDoor.max.z, doorBox.max.z, EPSILON);
    EXPECT_NEAR(finalDoor.min.y, doorBox.min.y, EPSILON);
    EXPECT_NEAR(finalDoor.max.y, doorBox.max.y, EPSILON);

    const std::unique_ptr<Model> portal = load({"portal", "portal.obj"});
    ASSERT_EQ(portal->getMeshes().size(), 1u);
    const Box surface = boxOf(*portal);
    EXPECT_LT(surface.min.x, 0.0f);
    EXPECT_GT(surface.max.x, 0.0f);
    EXPECT_LE(surface.max.x - surface.min.x, 0.5f);
    EXPECT_NEAR(surface.min.z, doorBox.min.z, EPSILON);
    EXPECT_NEAR(surface.max.z, doorBox.max.z, EPSILON);
    EXPECT_NEAR(surface.min.y, 0.0f, EPSILON);
    EXPECT_NEAR(surface.max.y, doorBox.max.y, EPSILON);

    const std::unique_ptr<Model> frame = load({"portal", "portalFrame.obj"});
    EXPECT_GE(frame->getMeshes().size(), 3u);
    for (const Mesh* bar : frame->getMeshes())
        EXPECT_FALSE(overlaps(boxOf(bar), surface)) << describe(boxOf(bar));
    EXPECT_TRUE(covers(boxOf(*frame), {{0, surface.min.y, surface.min.z}, {0, surface.max.y, surface.max.z}}));

    const Box glassDoor = boxOf(*load({"glassdoor", "door2.obj"}));
    EXPECT_TRUE(covers(doorBox, glassDoor)) << describe(glassDoor);
    EXPECT_NEAR(glassDoor.max.z - glassDoor.min.z, DOOR_WIDTH, 0.5f);
    EXPECT_GT(glassDoor.max.y, PLAYER_HEIGHT * 2);
}

TEST_F(AssetsTest, TrainBoxReachesItsTurningPointsAndItsWheelsTurnAboutZ)
{
    const std::unique_ptr<Model> train = load({"train", "train1.obj"});
    const Box body = boxOf(*train);
    // The train turns when its box holds a point 1 above the floor on the centre line.
    EXPECT_LT(body.min.y, TRAIN_TURN_HEIGHT);
    EXPECT_GT(body.max.y, TRAIN_TURN_HEIGHT);
    EXPECT_LT(body.min.z, 0.0f);
    EXPECT_GT(body.max.z, 0.0f);
    EXPECT_GE(body.max.x, 31.5f);
    EXPECT_LE(body.min.x, -31.5f);
    // It fits between the walls with room for the player to stand aside.
    EXPECT_LE(body.max.z - body.min.z, TUNNEL_HALF_WIDTH);
    EXPECT_GT(body.max.y, PLAYER_HEIGHT);

    const Box wheel = boxOf(*load({"train", "wheel.obj"}));
    EXPECT_NEAR(wheel.min.x + wheel.max.x, 0.0f, EPSILON);
    EXPECT_NEAR(wheel.min.y + wheel.max.y, 0.0f, EPSILON);
    EXPECT_NEAR(wheel.min.z + wheel.max.z, 0.0f, EPSILON);
    EXPECT_NEAR(wheel.max.x - wheel.min.x, wheel.max.y - wheel.min.y, 0.1f);
    EXPECT_LT(wheel.max.z - wheel.min.z, wheel.max.x - wheel.min.x);
    // Wheels hang 2 above the train's origin and so touch the floor.
    EXPECT_NEAR(2.0f + wheel.min.y, 0.0f, 0.1f);
}

TEST_F(AssetsTest, KeysFloatAtThePlayersEyeHeight)
{
    const Box key = boxOf(*load({"tunnel", "old_key3.obj"}));
    const Box seeThroughKey = boxOf(*load({"tunnel", "old_key_transparent.obj"}));
    const float bottom = KEY_HEIGHT + KEY_SCALE * key.min.y;
    const float top = KEY_HEIGHT + KEY_SCALE * key.max.y;
    EXPECT_LE(bottom, EYE_HEIGHT);
    EXPECT_GE(top, EYE_HEIGHT);
    EXPECT_GT(bottom, 0.0f);
    const glm::vec3 size = key.max - key.min;
    EXPECT_NEAR(std::max({size.x, size.y, size.z}), 12.0f, 1.0f);
    EXPECT_EQ(seeThroughKey.min, key.min);
    EXPECT_EQ(seeThroughKey.max, key.max);
}

TEST_F(AssetsTest, SwitchHangsOnTheWallAndItsLeverFlipsWithAHalfTurn)
{
    const Box back = boxOf(*load({"tunnel", "schalterback1.obj"}));
    const Box lever = boxOf(*load({"tunnel", "schalterfront.obj"}));
    // Both sit on the inside of the +z wall, whose face is at the origin's z.
    EXPECT_LE(back.max.z, EPSILON);
    EXPECT_LE(lever.max.z, EPSILON);
    EXPECT_LT(lever.min.z, back.min.z);
    EXPECT_GT(back.min.z, -2.0f);
    // Mostly above the pivot: the half turn about z sends it mostly below.
    EXPECT_GT(lever.max.y, 2.0f);
    EXPECT_LT(-lever.min.y, 1.0f);
    EXPECT_GT(lever.max.y, 3 * -lever.min.y);
}

TEST_F(AssetsTest, CubeAndButtonSitWhereThePuzzlesExpectThem)
{
    const Box cube = boxOf(*load({"tunnel", "cube.obj"}));
    EXPECT_EQ(cube.min, glm::vec3(-2, -1, -2));
    EXPECT_EQ(cube.max, glm::vec3(2, 3, 2));

    // The button hangs on the far end wall, facing the player coming along +x.
    const Box button = boxOf(*load({"tunnel", "button1.obj"}));
    EXPECT_LE(button.max.x, EPSILON);
    EXPECT_LT(button.min.x, -0.5f);
    EXPECT_GT(button.min.x, -2.0f);
    EXPECT_NEAR(button.min.y + button.max.y, 0.0f, 0.1f);
    EXPECT_NEAR(button.min.z + button.max.z, 0.0f, 0.1f);
}

TEST_F(AssetsTest, SignsStandOnTheFloorAndReadCorrectlyFromMinusX)
{
    for (const AssetFile& asset : SIGNS) {
        SCOPED_TRACE(asset.file);
        const std::unique_ptr<Model> sign = load(asset);
        const Box box = boxOf(*sign);
        EXPECT_NEAR(box.min.y, 0.0f, EPSILON);
        EXPECT_LT(box.max.x - box.min.x, 1.0f);
        EXPECT_LE(box.max.x, EPSILON);

        // The painted face is the one flat mesh; the reader stands in front of it at eye height.
        const Mesh* face = nullptr;
        for (const Mesh* mesh : sign->getMeshes())
            if (boxOf(mesh).max.x - boxOf(mesh).min.x < EPSILON)
                face = mesh;
        ASSERT_NE(face, nullptr);
        const Box faceBox = boxOf(face);
        EXPECT_LE(faceBox.min.y, EYE_HEIGHT + 2);
        const glm::vec3 centre = (faceBox.min + faceBox.max) * 0.5f;
        const glm::vec3 eye = centre - glm::vec3(14, 0, 0);
        render(*sign, glm::mat4(1.0f), eye, centre);
        save(std::string("sign-") + asset.file);

        const Orientation seen = orientation(face, glm::mat4(1.0f), eye, centre);
        EXPECT_GT(seen.upright, 0.8);
        EXPECT_GT(seen.upright, seen.mirrored + 0.2);
        EXPECT_GT(seen.upright, seen.upsideDown + 0.2);
    }
}

TEST_F(AssetsTest, EndScreensFillTheEndCameraAndReadCorrectly)
{
    const glm::mat4 placement =
        glm::rotate(glm::translate(glm::mat4(1.0f), SCREEN_POSITION), glm::radians(180.0f), glm::vec3(0, 1, 0));
    for (const char* file : {"won.obj", "lost.obj"}) {
        SCOPED_TRACE(file);
        const std::unique_ptr<Model> screen = load({"screens", file});
        ASSERT_EQ(screen->getMeshes().size(), 1u);
        render(*screen, placement, SCREEN_EYE, SCREEN_TARGET);
        save(std::string("screen-") + file);

        const Orientation seen = orientation(screen->getMeshes()[0], placement, SCREEN_EYE, SCREEN_TARGET);
        EXPECT_GT(seen.upright, 0.8);
        EXPECT_GT(seen.upright, seen.mirrored + 0.2);
        EXPECT_GT(seen.upright, seen.upsideDown + 0.2);
        // Most of the view, without spilling far over its edges.
        EXPECT_GT(seen.screenWidth, 0.75f * 800);
        EXPECT_LT(seen.screenWidth, 1.05f * 800);
        EXPECT_GT(seen.screenHeight, 0.75f * 600);
        EXPECT_LT(seen.screenHeight, 1.05f * 600);
        // The centre of the view shows the screen, not the background.
        const HeadlessContext::Pixel centre = context.pixel(400, 300);
        const bool background = centre.r == centre.g && centre.g == centre.b && centre.r < 30;
        EXPECT_FALSE(background);
    }
}

TEST_F(AssetsTest, EveryModelIsDrawnIntoAPictureForInspection)
{
    for (const AssetFile& asset : GAME_MODELS) {
        SCOPED_TRACE(std::string(asset.folder) + "/" + asset.file);
        const std::unique_ptr<Model> model = load(asset);
        const Box box = boxOf(*model);
        const glm::vec3 centre = (box.min + box.max) * 0.5f;
        const float size = glm::length(box.max - box.min);
        // Shell pieces are seen from inside, as the player does; everything else from the front-left.
        const bool shell = std::string(asset.folder).rfind("tunnel/", 0) == 0;
        const glm::vec3 eye = shell ? glm::vec3(-18, 8, 12) : centre + glm::vec3(-0.9f, 0.35f, -0.55f) * size;
        const glm::vec3 target = shell ? glm::vec3(20, 10, -6) : centre;
        render(*model, glm::mat4(1.0f), eye, target);
        std::string name = std::string(asset.folder) + "-" + asset.file;
        std::replace(name.begin(), name.end(), '/', '-');
        save(name);

        // Some of the picture is model, not background.
        const std::vector<std::uint8_t> colour = context.readColour();
        std::size_t covered = 0;
        for (std::size_t pixel = 0; pixel < colour.size(); pixel += 4)
            covered += !(colour[pixel] == colour[pixel + 1] && colour[pixel + 1] == colour[pixel + 2] &&
                         colour[pixel] < 30);
        EXPECT_GT(covered, colour.size() / 4 / 50);
    }
}
