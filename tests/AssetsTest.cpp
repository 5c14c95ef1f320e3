// Every model the generator writes, loaded as the game loads it and checked for what drawing,
// collision and placement rely on; and the painted faces of signs and end screens drawn to see
// that they read the right way round.
#include "render/GpuModel.h"
#include "render/Mesh.h"
#include "world/Model.h"
#include "render/ShaderProgram.h"
#include "support/RenderChecks.h"
#include "support/RenderFixture.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
constexpr float EPSILON = 1e-3f;

// Every model file below assets/, as the folder and file name the game's loader takes.
std::vector<fs::path> generatedModels()
{
    std::vector<fs::path> models;
    for (const auto& entry : fs::recursive_directory_iterator("assets"))
        if (entry.path().extension() == ".obj")
            models.push_back(fs::relative(entry.path(), "assets"));
    std::sort(models.begin(), models.end());
    return models;
}

std::unique_ptr<Model> load(const fs::path& model)
{
    return std::make_unique<Model>(model.parent_path().string(), model.filename().string());
}

// Models that stand on the floor where the level places them: doors, portals and signs.
bool standsOnTheFloor(const fs::path& model)
{
    static const std::set<std::string> standing = {"door", "finaldoor", "door2", "portal", "portalFrame"};
    return standing.count(model.stem().string()) > 0 || model.parent_path() == "hints";
}

// The file's vertices as Assimp reads them for the game: finite, with unit normals, and with
// texture coordinates wherever the mesh's material names an image.
void expectSoundVertices(const fs::path& model)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(("assets" / model).string(), aiProcess_Triangulate);
    ASSERT_NE(scene, nullptr);
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        ASSERT_TRUE(mesh->HasNormals());
        EXPECT_TRUE(mesh->HasTextureCoords(0) ||
                    scene->mMaterials[mesh->mMaterialIndex]->GetTextureCount(aiTextureType_DIFFUSE) == 0);
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << "vertex " << v;
            ASSERT_NEAR(mesh->mNormals[v].Length(), 1.0f, EPSILON) << "vertex " << v;
        }
    }
}

// Share of a texture's pixels' alpha: 1 for an opaque image.
double meanAlpha(GLuint texture)
{
    const Texels image = texelsOf(texture);
    double alpha = 0;
    for (std::size_t pixel = 3; pixel < image.rgba.size(); pixel += 4)
        alpha += image.rgba[pixel] / 255.0;
    return alpha / (image.width * image.height);
}

// Luminance of an RGBA picture stored row after row, at a point given as shares of its size.
double luminance(const std::vector<std::uint8_t>& rgba, glm::ivec2 size, glm::dvec2 at)
{
    const glm::ivec2 pixel = glm::clamp(glm::ivec2(at * glm::dvec2(size)), glm::ivec2(0), size - 1);
    const std::uint8_t* rgb = &rgba[(static_cast<std::size_t>(pixel.y) * size.x + pixel.x) * 4];
    return 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
}

} // namespace

using AssetsTest = RenderFixture;

TEST_F(AssetsTest, EveryGeneratedModelLoadsCleanlyAsASolidWithSoundVerticesAndOnlyTheGlassPaneSeeThrough)
{
    const std::vector<fs::path> models = generatedModels();
    ASSERT_FALSE(models.empty());
    for (const fs::path& file : models) {
        SCOPED_TRACE(file.string());
        testing::internal::CaptureStderr();
        const std::unique_ptr<Model> model = load(file);
        const std::vector<Mesh*>& meshes = GpuModel::of(*model).getMeshes();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_GT(model->triangleCount(), 0u);
        const auto [high, low] = model->bounds();
        // Solids have depth on every axis, so their collision boxes have too; an end screen is one flat face.
        const int flatAxes = static_cast<int>(glm::dot(glm::vec3(glm::lessThanEqual(high - low, glm::vec3(EPSILON))), glm::vec3(1)));
        EXPECT_EQ(flatAxes, file.parent_path() == "screens" ? 1 : 0);
        if (standsOnTheFloor(file)) {
            EXPECT_NEAR(low.y, 0.0f, EPSILON);
        }
        expectSoundVertices(file);
        for (const Mesh* mesh : meshes) {
            ASSERT_EQ(mesh->getTextures().size(), 1u);
            const bool glassPane = file.stem() == "door2" && mesh == meshes.back();
            const double alpha = meanAlpha(mesh->getTextures()[0]);
            EXPECT_TRUE(glassPane ? alpha > 0.25 && alpha < 0.5 : std::fabs(alpha - 1.0) < 1e-9) << alpha;
        }
    }
}

// Each view's pieces collide as well as they look: the glasses show the same shapes in other images.
TEST_F(AssetsTest, TheGlassesShellsAreTheRealityShellsInOtherImages)
{
    std::vector<fs::path> views[2];
    for (const fs::path& file : generatedModels())
        for (int glasses : {0, 1})
            if (file.parent_path() == (glasses ? "tunnel/glasses" : "tunnel/reality"))
                views[glasses].push_back(file);
    ASSERT_EQ(views[0].size(), views[1].size());
    ASSERT_FALSE(views[0].empty());
    // Each glasses piece is named and sorted as its reality twin, bar a number.
    for (std::size_t twin = 0; twin < views[0].size(); ++twin) {
        SCOPED_TRACE(views[1][twin].string());
        const std::unique_ptr<Model> realityModel = load(views[0][twin]), glassesModel = load(views[1][twin]);
        const std::vector<Mesh*>& glasses = GpuModel::of(*glassesModel).getMeshes();
        const std::vector<Mesh*>& reality = GpuModel::of(*realityModel).getMeshes();
        ASSERT_EQ(reality.size(), glasses.size());
        for (std::size_t i = 0; i < reality.size(); ++i) {
            EXPECT_EQ(realityModel->getMeshes()[i].bounds(), glassesModel->getMeshes()[i].bounds());
            EXPECT_NE(texelsOf(reality[i]->getTextures()[0]).rgba, texelsOf(glasses[i]->getTextures()[0]).rgba);
        }
    }
}

class PaintedFaceTest : public RenderFixture {
protected:
    // No renderer runs: the window is read at its first size, which a new frame target has.
    const FrameTarget firstSize;

    // Draws a model as the game's camera would see it (60 degrees, 4:3), keeps the picture and
    // expects its flat face, facing the eye, to match the face's image as it is, better than the
    // image mirrored left to right or turned upside down. Returns the face's share of the window.
    glm::vec2 expectReadsRightWayRound(const Model& model, std::size_t face, const glm::mat4& placement, glm::vec3 eye,
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
        GpuModel::of(model).draw();
        program->use(false);
        savePicture("asset-views/" + picture + ".png", firstSize);

        // Flat and facing the eye, the face spans the window rectangle between its box's corners.
        const glm::vec2 window(WINDOW_WIDTH, WINDOW_HEIGHT);
        auto onWindow = [&](glm::vec3 corner) {
            const glm::vec4 clip = projection * view * placement * glm::vec4(corner, 1.0f);
            return (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * window;
        };
        const auto [boxHigh, boxLow] = model.getMeshes()[face].bounds();
        const glm::vec2 low = glm::min(onWindow(boxLow), onWindow(boxHigh));
        const glm::vec2 high = glm::max(onWindow(boxLow), onWindow(boxHigh));
        const Texels image = texelsOf(GpuModel::of(model).getMeshes()[face]->getTextures().at(0));
        const glm::ivec2 imageSize(image.width, image.height);
        const std::vector<std::uint8_t> screen = readFrame(firstSize);
        // Summed luminance differences from the image as it is, mirrored and upside down. u runs
        // left to right on the window, v from the top down as the image's rows do.
        glm::dvec3 difference(0.0);
        for (double v = 0.05; v < 0.95; v += 0.02)
            for (double u = 0.05; u < 0.95; u += 0.01) {
                const glm::dvec2 seenAt = (glm::dvec2(low) + glm::dvec2(u, 1 - v) * glm::dvec2(high - low)) /
                                          glm::dvec2(window);
                const glm::dvec3 painted(luminance(image.rgba, imageSize, {u, v}),
                                         luminance(image.rgba, imageSize, {1 - u, v}),
                                         luminance(image.rgba, imageSize, {u, 1 - v}));
                difference += glm::abs(luminance(screen, glm::ivec2(window), seenAt) - painted);
            }
        EXPECT_LT(difference.x, 0.5 * std::min(difference.y, difference.z))
            << "differences from the image as it is, mirrored and upside down: " << difference.x << ", " << difference.y
            << ", " << difference.z;
        return (high - low) / window;
    }
};

TEST_F(PaintedFaceTest, SignsAndEndScreensReadTheRightWayRound)
{
    for (const fs::path& file : generatedModels()) {
        if (file.parent_path() != "hints")
            continue;
        SCOPED_TRACE(file.string());
        const std::unique_ptr<Model> sign = load(file);
        // The painted face is the one flat mesh; the reader stands in front of it.
        const auto& meshes = sign->getMeshes();
        const auto face = std::find_if(meshes.begin(), meshes.end(), [](const ModelMesh& mesh) {
            return mesh.maxCorner.x - mesh.minCorner.x < EPSILON;
        });
        ASSERT_NE(face, meshes.end());
        const glm::vec3 centre = (face->maxCorner + face->minCorner) * 0.5f;
        expectReadsRightWayRound(*sign, static_cast<std::size_t>(face - meshes.begin()), glm::mat4(1.0f),
                                 centre - glm::vec3(14, 0, 0), centre, file.stem());
    }

    // The end screen as the game shows it: at (3000, 0, 0), turned half round about y, seen from
    // 10 in front, filling most of the view without spilling far over its edges.
    const glm::mat4 placement =
        glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(3000, 0, 0)), glm::radians(180.0f), glm::vec3(0, 1, 0));
    for (const char* file : {"screens/won.obj", "screens/lost.obj"}) {
        SCOPED_TRACE(file);
        const std::unique_ptr<Model> screen = load(file);
        ASSERT_EQ(screen->getMeshes().size(), 1u);
        const glm::vec2 share = expectReadsRightWayRound(*screen, 0, placement,
                                                         {2990, -1.3f, -0.5f}, {3000, -1.3f, -0.5f}, file);
        EXPECT_TRUE(glm::all(glm::greaterThan(share, glm::vec2(0.75f)) && glm::lessThan(share, glm::vec2(1.05f))));
    }
}
