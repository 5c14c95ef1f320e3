// Reading model files and making GPU meshes and textures of them: what the game relies on when a file is
// fine, and how it carries on when a file, an image or a material is faulty.
#include "render/GpuModel.h"
#include "render/Mesh.h"
#include "render/ShaderProgram.h"
#include "world/Model.h"
#include "support/Expectations.h"
#include "support/GameFolder.h"
#include "support/RenderChecks.h"
#include "support/RenderFixture.h"

#include <glm/gtc/type_ptr.hpp>

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A square around the screen centre.
const char* const SQUARE_POSITIONS = "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n";

// The texture of the first mesh of a model.
GLuint textureOf(const Model& model)
{
    return GpuModel::of(model).getMeshes().at(0)->getTextures().at(0);
}

} // namespace

class ModelLoaderTest : public RenderFixture {
protected:
    Model load(const std::string& file) const { return Model(folder.name, file); }

    // An OBJ of one textured square whose material has these lines.
    void writeTexturedSquare(const std::string& objName, const std::string& materialLines) const
    {
        folder.write(objName + ".mtl", "newmtl square\nKd 1 1 1\n" + materialLines);
        folder.write(objName + ".obj", "mtllib " + std::filesystem::path(objName).filename().string() + ".mtl\n" +
                                           SQUARE_POSITIONS + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n" +
                                           "usemtl square\nf 1/1/1 2/2/1 3/3/1 4/4/1\n");
    }

    ScratchFolder folder{"assets"}; // Model prepends "assets/" to the folder it is given
};

TEST_F(ModelLoaderTest, MeshesKeepTheFileOrderBoundsAndTrianglesAndMissingAttributesReadAsZeros)
{
    // A square and a triangle; squares without and with texture coordinates and normals, to show
    // what the probe reads.
    for (const char* file : {"two.obj", "bare.obj", "mapped.obj"})
        folder.copy(file);
    testing::internal::CaptureStderr();
    const Model model = load("two.obj");
    const Model bare = load("bare.obj");
    const Model mapped = load("mapped.obj");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const std::vector<ModelMesh>& meshes = model.getMeshes();
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(meshes[0].bounds(), std::make_pair(glm::vec3(3, 5, -2), glm::vec3(-1, 0, -2)));
    EXPECT_EQ(meshes[0].indices.size(), 6u);
    EXPECT_EQ(meshes[1].bounds(), std::make_pair(glm::vec3(12, 1, 9), glm::vec3(10, -4, 7)));
    EXPECT_EQ(meshes[1].indices.size(), 3u);
    EXPECT_EQ(model.triangleCount(), 3u);
    EXPECT_EQ(model.bounds(), std::make_pair(glm::vec3(12, 5, 9), glm::vec3(-1, -4, -2)));
    EXPECT_TRUE(GpuModel::of(model).getMeshes()[0]->getTextures().empty()); // no material names an image

    const auto probe = std::make_unique<ShaderProgram>(testData("probe_v.glsl"), testData("probe_f.glsl"));
    auto centreDrawnFrom = [&](const Model& drawn) {
        glClearColor(1, 1, 1, 1); // unlike any colour the probe gives these squares
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        probe->use(true);
        GpuModel::of(drawn).draw();
        probe->use(false);
        return glm::vec3(centreColour()) / 255.0f;
    };
    expectNear(glm::vec3(0, 0, 0), centreDrawnFrom(bare), 1.0f / 255);
    // Imported with flipped v, as the images are stored top row first.
    expectNear(glm::vec3(1, 1 - 0.25f, 1), centreDrawnFrom(mapped), 1.0f / 255);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoaderTest, TexturesHoldTheirImagesRepeatAndGoWithTheirMeshes)
{
    // Images of one colour: three bytes a pixel and an odd width (SDL pads the rows, the texture
    // must not skew), four with alpha, and a palette, which is widened to a usable texture with a note.
    const std::tuple<std::string, glm::ivec2, glm::u8vec4> images[] = {
        {"square-rgb24.png", {5, 3}, {200, 40, 10, 255}},
        {"square-rgba.png", {4, 4}, {10, 90, 250, 128}},
        {"square-palette.png", {4, 4}, {20, 160, 60, 255}}};
    std::vector<std::unique_ptr<Model>> squares;
    testing::internal::CaptureStderr();
    for (const auto& [image, size, colour] : images) {
        const std::string name = "square" + std::to_string(squares.size());
        folder.copy(image);
        writeTexturedSquare(name, "map_Kd " + image + "\n");
        squares.push_back(std::make_unique<Model>(folder.name, name + ".obj"));
        const Texels texels = texelsOf(textureOf(*squares.back()));
        EXPECT_EQ(glm::ivec2(texels.width, texels.height), size);
        for (std::size_t pixel = 0; pixel < texels.rgba.size(); pixel += 4)
            EXPECT_EQ(glm::make_vec4(&texels.rgba[pixel]), colour) << image;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error, image is not truecolor.\n");

    // Floors and walls repeat their images; a draw leaves no texture bound.
    const Model& translucent = *squares[1];
    const GLuint texture = textureOf(translucent);
    GpuModel::of(translucent).draw();
    GLint bound = -1, wrap[2] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap[1]);
    EXPECT_EQ(glm::ivec2(wrap[0], wrap[1]), glm::ivec2(GL_REPEAT));

    // Models naming one image share its texture.
    writeTexturedSquare("again", "map_Kd square-rgb24.png\n");
    const GLuint opaqueTexture = textureOf(*squares[0]);
    auto sharing = std::make_unique<Model>(folder.name, "again.obj");
    EXPECT_EQ(textureOf(*sharing), opaqueTexture);

    // A destroyed mesh, and a model going, release their textures, a shared one with its last
    // holder; the image is then read anew.
    Mesh* mesh = GpuModel::of(translucent).getMeshes()[0];
    mesh->destroy();
    squares[0].reset();
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_TRUE(glIsTexture(opaqueTexture)) << "the model sharing it still holds it";
    sharing.reset();
    EXPECT_FALSE(glIsTexture(opaqueTexture));
    EXPECT_TRUE(mesh->getTextures().empty());
    EXPECT_EQ(mesh->getIndexCount(), 0u);
    const Model again = load("again.obj");
    const Texels reread = texelsOf(textureOf(again));
    ASSERT_EQ(glm::ivec2(reread.width, reread.height), std::get<1>(images[0]));
    EXPECT_EQ(glm::make_vec4(reread.rgba.data()), std::get<2>(images[0]));
}

TEST_F(ModelLoaderTest, FaultyFilesAreReportedALineEachAndLeaveWhatStillDraws)
{
    // Images that squares' materials name: one that is not there, and one that is, one folder
    // above the models' and at an absolute path, but must not be read from there.
    folder.copy("outside.png");
    const std::string unreadImages[] = {"not-painted.png", "../outside.png",
                                        std::filesystem::absolute(folder.path / "outside.png").string()};
    // Two triangles with a line, a point and a face cut to two corners between them.
    folder.copy("mixed.obj");

    testing::internal::CaptureStderr();
    const Model missing = load("nothing-here.obj");
    std::vector<std::unique_ptr<Model>> unpainted;
    for (const std::string& image : unreadImages) {
        const std::string name = "square" + std::to_string(unpainted.size());
        writeTexturedSquare("inner/" + name, "map_Kd " + image + "\n");
        unpainted.push_back(std::make_unique<Model>(folder.name + "/inner", name + ".obj"));
        EXPECT_EQ(textureOf(*unpainted.back()), 0u) << image;
    }
    const Model mixed = load("mixed.obj");
    std::istringstream errors(testing::internal::GetCapturedStderr());
    auto expectNextLine = [&errors](const std::string& start, const std::string& named) {
        std::string line;
        EXPECT_TRUE(std::getline(errors, line) && line.rfind(start, 0) == 0 && line.find(named) != std::string::npos)
            << "expected \"" << start << "\" naming " << named << ", got: " << line;
    };
    expectNextLine("Assimp Importer: ", "nothing-here.obj");
    for (const std::string& image : unreadImages)
        expectNextLine("IMG_Load error: ", image);
    expectNextLine("Assimp Importer: ", "faces");
    std::string extra;
    EXPECT_FALSE(std::getline(errors, extra)) << extra;

    EXPECT_TRUE(missing.getMeshes().empty());
    EXPECT_EQ(mixed.triangleCount(), 2u);
    std::size_t indices = 0;
    for (const ModelMesh& mesh : mixed.getMeshes())
        indices += mesh.indices.size();
    EXPECT_EQ(indices, 6u);

    // Without a model or a texture there is nothing to draw, but drawing is no error.
    GpuModel::of(missing).draw();
    GpuModel::of(*unpainted[0]).draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
