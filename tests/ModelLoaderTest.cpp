// Importing model files into GPU meshes and textures: what the game relies on when a file is
// fine, and how it carries on when a file, an image or a material is faulty.
#include "app/RenderSettings.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ShaderProgram.h"
#include "support/HeadlessContext.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cfloat>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Draws a mesh straight in clip space and shows one of its vertex attributes as the colour.
const char* const PROBE_VERTEX_SHADER = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;
out vec2 probeTexCoord;
out vec3 probeNormal;
void main()
{
    probeTexCoord = texCoord;
    probeNormal = normal;
    gl_Position = vec4(position, 1.0);
}
)";
const char* const TEXCOORD_FRAGMENT_SHADER = R"(#version 330 core
in vec2 probeTexCoord;
in vec3 probeNormal;
out vec4 outColor;
void main() { outColor = vec4(probeTexCoord, 0.5, 1.0); }
)";
const char* const NORMAL_FRAGMENT_SHADER = R"(#version 330 core
in vec2 probeTexCoord;
in vec3 probeNormal;
out vec4 outColor;
void main() { outColor = vec4(probeNormal * 0.5 + 0.5, 1.0); }
)";

// A square around the screen centre, with texture coordinates and a normal toward the viewer.
const char* const SQUARE_POSITIONS = "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

int toByte(float value)
{
    return static_cast<int>(value * 255.0f + 0.5f);
}

} // namespace

class ModelLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.ok());
        renderSettings = RenderSettings();
        std::filesystem::create_directories(folderPath());
    }

    void TearDown() override { std::filesystem::remove_all(folderPath()); }

    // The test's own model folder below assets/, as the game names model folders.
    std::string folder() const { return "test-" + std::to_string(getpid()); }
    std::string folderPath() const { return "assets/" + folder(); }

    void writeFile(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(folderPath() + "/" + name).parent_path());
        std::ofstream(folderPath() + "/" + name) << content;
    }

    // A PNG of one colour, in the layout SDL gives the surface format.
    void writeImage(const std::string& name, int width, int height, Uint32 format, SDL_Color colour) const
    {
        std::filesystem::create_directories(std::filesystem::path(folderPath() + "/" + name).parent_path());
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, format);
        ASSERT_NE(surface, nullptr);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, colour.r, colour.g, colour.b, colour.a));
        ASSERT_EQ(IMG_SavePNG(surface, (folderPath() + "/" + name).c_str()), 0);
        SDL_FreeSurface(surface);
    }

    // An OBJ of one textured square with the given material lines.
    void writeTexturedSquare(const std::string& objName, const std::string& materialLines) const
    {
        writeFile(objName + ".mtl", "newmtl square\nKd 1 1 1\n" + materialLines);
        writeFile(objName + ".obj", "mtllib " + objName + ".mtl\n" + SQUARE_POSITIONS +
                                        "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                                        "usemtl square\nf 1/1/1 2/2/1 3/3/1 4/4/1\n");
    }

    std::unique_ptr<ShaderProgram> probeProgram(const char* fragmentShader) const
    {
        writeFile("probe_v.glsl", PROBE_VERTEX_SHADER);
        writeFile("probe_f.glsl", fragmentShader);
        return std::make_unique<ShaderProgram>(folderPath() + "/probe_v.glsl", folderPath() + "/probe_f.glsl");
    }

    // Draws the model with the program and returns the pixel at the screen centre.
    HeadlessContext::Pixel drawAndReadCentre(const Model& model, const ShaderProgram& program) const
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        program.use(true);
        model.draw();
        program.use(false);
        return context.pixel(400, 300);
    }

    // The texels of level 0 of a texture, RGBA, first row first.
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

    HeadlessContext context;
};

TEST_F(ModelLoaderTest, AMissingFileLeavesAnEmptyModelAndOneErrorLine)
{
    testing::internal::CaptureStderr();
    Model model(folder(), "nothing-here.obj");
    const std::vector<std::string> errors = lines(testing::internal::GetCapturedStderr());

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Assimp Importer: ", 0), 0u) << errors[0];
    EXPECT_GT(errors[0].size(), std::string("Assimp Importer: ").size());
    EXPECT_TRUE(model.getMeshes().empty());
    EXPECT_EQ(model.triangleCount(), 0u);
    EXPECT_EQ(model.bounds().first, glm::vec3(-FLT_MAX));
    EXPECT_EQ(model.bounds().second, glm::vec3(FLT_MAX));
    EXPECT_EQ(model.getDirectory(), "assets/" + folder());
    model.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoaderTest, MeshesFollowTheFileOrderWithTheirOwnBoundsAndTriangles)
{
    // A square (one face of four corners, triangulated into two) and a triangle further out.
    writeFile("two.mtl", "newmtl plain\nKd 1 1 1\n");
    writeFile("two.obj", "mtllib two.mtl\n"
                         "o square\nv -1 0 -2\nv 3 0 -2\nv 3 5 -2\nv -1 5 -2\nvn 0 0 1\nusemtl plain\n"
                         "f 1//1 2//1 3//1 4//1\n"
                         "o triangle\nv 10 -4 7\nv 12 -4 7\nv 12 1 9\nvn 1 0 0\nusemtl plain\nf 5//2 6//2 7//2\n");
    testing::internal::CaptureStderr();
    Model model(folder(), "two.obj");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const std::vector<Mesh*> meshes = model.getMeshes();
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(meshes[0]->bounds().first, glm::vec3(3, 5, -2));
    EXPECT_EQ(meshes[0]->bounds().second, glm::vec3(-1, 0, -2));
    EXPECT_EQ(meshes[0]->getIndexCount(), 6u);
    EXPECT_EQ(meshes[1]->bounds().first, glm::vec3(12, 1, 9));
    EXPECT_EQ(meshes[1]->bounds().second, glm::vec3(10, -4, 7));
    EXPECT_EQ(meshes[1]->getIndexCount(), 3u);
    EXPECT_EQ(model.triangleCount(), 3u);
    EXPECT_EQ(model.bounds().first, glm::vec3(12, 5, 9));
    EXPECT_EQ(model.bounds().second, glm::vec3(-1, -4, -2));
    // A material without a diffuse map gives an empty texture list.
    EXPECT_TRUE(meshes[0]->getTextures().empty());
}

TEST_F(ModelLoaderTest, TexturesLoadFromTheModelFolderWithTheirPixelsAndParameters)
{
    // Three bytes a pixel and an odd width: SDL pads the rows, the texture must not skew.
    writeImage("rgb.png", 5, 3, SDL_PIXELFORMAT_RGB24, {200, 40, 10, 255});
    writeTexturedSquare("square", "map_Kd rgb.png\n");
    writeImage("rgba.png", 4, 4, SDL_PIXELFORMAT_RGBA32, {10, 90, 250, 128});
    writeTexturedSquare("clear", "map_Kd rgba.png\n");

    Model opaque(folder(), "square.obj");
    Model translucent(folder(), "clear.obj");

    ASSERT_EQ(opaque.getMeshes().size(), 1u);
    ASSERT_EQ(opaque.getMeshes()[0]->getTextures().size(), 1u);
    const GLuint rgbTexture = opaque.getMeshes()[0]->getTextures()[0];
    ASSERT_NE(rgbTexture, 0u);
    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> rgb = texels(rgbTexture, width, height);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
    for (std::size_t pixel = 0; pixel < rgb.size(); pixel += 4) {
        EXPECT_EQ(rgb[pixel], 200);
        EXPECT_EQ(rgb[pixel + 1], 40);
        EXPECT_EQ(rgb[pixel + 2], 10);
    }

    const GLuint rgbaTexture = translucent.getMeshes()[0]->getTextures()[0];
    ASSERT_NE(rgbaTexture, 0u);
    const std::vector<std::uint8_t> rgba = texels(rgbaTexture, width, height);
    EXPECT_EQ(rgba[0], 10);
    EXPECT_EQ(rgba[1], 90);
    EXPECT_EQ(rgba[2], 250);
    EXPECT_EQ(rgba[3], 128);

    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, rgbaTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    // Mipmaps exist: level 1 of a 4 x 4 image is 2 x 2.
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 2);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(ModelLoaderTest, TwoModelsNamingTheSameImageReadTheirOwnFolders)
{
    writeImage("north/stone.png", 2, 2, SDL_PIXELFORMAT_RGBA32, {255, 0, 0, 255});
    writeImage("south/stone.png", 2, 2, SDL_PIXELFORMAT_RGBA32, {0, 0, 255, 255});
    writeTexturedSquare("north/piece", "map_Kd stone.png\n");
    writeTexturedSquare("south/piece", "map_Kd stone.png\n");

    Model north(folder() + "/north", "piece.obj");
    Model south(folder() + "/south", "piece.obj");
    ASSERT_EQ(north.getMeshes().size(), 1u);
    ASSERT_EQ(south.getMeshes().size(), 1u);
    ASSERT_EQ(north.getMeshes()[0]->getTextures().size(), 1u);
    ASSERT_EQ(south.getMeshes()[0]->getTextures().size(), 1u);

    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> northTexels = texels(north.getMeshes()[0]->getTextures()[0], width, height);
    const std::vector<std::uint8_t> southTexels = texels(south.getMeshes()[0]->getTextures()[0], width, height);
    EXPECT_EQ(northTexels[0], 255);
    EXPECT_EQ(northTexels[2], 0);
    EXPECT_EQ(southTexels[0], 0);
    EXPECT_EQ(southTexels[2], 255);
    EXPECT_NE(north.getMeshes()[0]->getTextures()[0], south.getMeshes()[0]->getTextures()[0]);
}

TEST_F(ModelLoaderTest, AMissingImageStoresTextureZeroAndReportsIt)
{
    writeTexturedSquare("square", "map_Kd not-painted.png\n");

    testing::internal::CaptureStderr();
    Model model(folder(), "square.obj");
    const std::vector<std::string> errors = lines(testing::internal::GetCapturedStderr());

    ASSERT_EQ(model.getMeshes().size(), 1u);
    ASSERT_EQ(model.getMeshes()[0]->getTextures().size(), 1u);
    EXPECT_EQ(model.getMeshes()[0]->getTextures()[0], 0u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("IMG_Load error: ", 0), 0u) << errors[0];
    // The mesh still draws, with no texture on unit 0.
    model.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoaderTest, MaterialPathsThatLeaveTheModelFolderAreRefused)
{
    // The image exists, one folder above the model's and at an absolute path, but is not read.
    writeImage("outside.png", 2, 2, SDL_PIXELFORMAT_RGBA32, {255, 255, 255, 255});
    const std::string absolutePath = std::filesystem::absolute(folderPath() + "/outside.png").string();
    writeTexturedSquare("inner/climbing", "map_Kd ../outside.png\n");
    writeTexturedSquare("inner/absolute", "map_Kd " + absolutePath + "\n");

    testing::internal::CaptureStderr();
    Model climbing(folder() + "/inner", "climbing.obj");
    Model absolute(folder() + "/inner", "absolute.obj");
    const std::vector<std::string> errors = lines(testing::internal::GetCapturedStderr());

    ASSERT_EQ(climbing.getMeshes().size(), 1u);
    ASSERT_EQ(absolute.getMeshes().size(), 1u);
    EXPECT_EQ(climbing.getMeshes()[0]->getTextures(), std::vector<GLuint>{0});
    EXPECT_EQ(absolute.getMeshes()[0]->getTextures(), std::vector<GLuint>{0});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].rfind("IMG_Load error: ", 0), 0u);
    EXPECT_NE(errors[0].find("../outside.png"), std::string::npos) << errors[0];
    EXPECT_EQ(errors[1].rfind("IMG_Load error: ", 0), 0u);
    EXPECT_NE(errors[1].find(absolutePath), std::string::npos) << errors[1];
}

TEST_F(ModelLoaderTest, APaletteImageIsReportedAndStillGivesAUsableTexture)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 8, SDL_PIXELFORMAT_INDEX8);
    ASSERT_NE(surface, nullptr);
    const SDL_Color palette[2] = {{20, 160, 60, 255}, {0, 0, 0, 255}};
    SDL_SetPaletteColors(surface->format->palette, palette, 0, 2);
    SDL_FillRect(surface, nullptr, 0);
    ASSERT_EQ(IMG_SavePNG(surface, (folderPath() + "/palette.png").c_str()), 0);
    SDL_FreeSurface(surface);
    writeTexturedSquare("square", "map_Kd palette.png\n");

    testing::internal::CaptureStderr();
    Model model(folder(), "square.obj");
    const std::vector<std::string> errors = lines(testing::internal::GetCapturedStderr());

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Error, image is not truecolor.");
    const GLuint texture = model.getMeshes()[0]->getTextures()[0];
    ASSERT_NE(texture, 0u);
    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> rgba = texels(texture, width, height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(rgba[0], 20);
    EXPECT_EQ(rgba[1], 160);
    EXPECT_EQ(rgba[2], 60);
    EXPECT_EQ(rgba[3], 255);
}

TEST_F(ModelLoaderTest, AMeshWithoutTextureCoordinatesGetsZeros)
{
    writeFile("bare.obj", std::string(SQUARE_POSITIONS) + "vn 0 0 1\nf 1//1 2//1 3//1 4//1\n");
    // The same square with one coordinate pair, to show what the probe reads when there is one.
    writeFile("mapped.obj", std::string(SQUARE_POSITIONS) + "vt 1 0.25\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1 4/1/1\n");
    Model bare(folder(), "bare.obj");
    Model mapped(folder(), "mapped.obj");
    const std::unique_ptr<ShaderProgram> probe = probeProgram(TEXCOORD_FRAGMENT_SHADER);
    ASSERT_TRUE(probe->isLinked());

    const HeadlessContext::Pixel bareColour = drawAndReadCentre(bare, *probe);
    EXPECT_EQ(bareColour.r, 0);
    EXPECT_EQ(bareColour.g, 0);
    EXPECT_NEAR(bareColour.b, toByte(0.5f), 1);

    // Imported with flipped v, as the images are stored top row first.
    const HeadlessContext::Pixel mappedColour = drawAndReadCentre(mapped, *probe);
    EXPECT_EQ(mappedColour.r, 255);
    EXPECT_NEAR(mappedColour.g, toByte(1.0f - 0.25f), 1);
}

TEST_F(ModelLoaderTest, AMeshWithoutNormalsLoadsAndDrawsWithZeroNormals)
{
    writeFile("flat.obj", std::string(SQUARE_POSITIONS) + "vt 0 0\nf 1/1 2/1 3/1 4/1\n");
    testing::internal::CaptureStderr();
    Model model(folder(), "flat.obj");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(model.getMeshes().size(), 1u);
    EXPECT_EQ(model.triangleCount(), 2u);
    const std::unique_ptr<ShaderProgram> probe = probeProgram(NORMAL_FRAGMENT_SHADER);

    const HeadlessContext::Pixel colour = drawAndReadCentre(model, *probe);

    EXPECT_NEAR(colour.r, toByte(0.5f), 1);
    EXPECT_NEAR(colour.g, toByte(0.5f), 1);
    EXPECT_NEAR(colour.b, toByte(0.5f), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoaderTest, EveryDrawWritesTheFiltersOfTheRenderSettings)
{
    writeImage("grey.png", 8, 8, SDL_PIXELFORMAT_RGBA32, {128, 128, 128, 255});
    writeTexturedSquare("square", "map_Kd grey.png\n");
    Model model(folder(), "square.obj");
    const GLuint texture = model.getMeshes()[0]->getTextures()[0];
    ASSERT_NE(texture, 0u);

    struct Expected {
        int mipmapMode;
        bool nearestSampling;
        GLint minifying;
        GLint magnifying;
    };
    const Expected table[] = {
        {0, false, GL_LINEAR, GL_LINEAR},
        {0, true, GL_NEAREST, GL_NEAREST},
        {1, false, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR},
        {1, true, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {2, false, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
        {2, true, GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST},
    };
    for (const Expected& expected : table) {
        renderSettings.mipmapMode = expected.mipmapMode;
        renderSettings.nearestSampling = expected.nearestSampling;
        model.draw();

        // The draw leaves no texture bound on the unit it used.
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        GLint minifying = 0;
        GLint magnifying = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minifying);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magnifying);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(minifying, expected.minifying)
            << "mipmapMode " << expected.mipmapMode << ", nearest " << expected.nearestSampling;
        EXPECT_EQ(magnifying, expected.magnifying)
            << "mipmapMode " << expected.mipmapMode << ", nearest " << expected.nearestSampling;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoaderTest, DestroyingMeshesAndModelsReleasesTheirTextures)
{
    writeImage("grey.png", 2, 2, SDL_PIXELFORMAT_RGBA32, {128, 128, 128, 255});
    writeTexturedSquare("square", "map_Kd grey.png\n");
    auto model = std::make_unique<Model>(folder(), "square.obj");
    const GLuint modelTexture = model->getMeshes()[0]->getTextures()[0];
    Model kept(folder(), "square.obj");
    Mesh* mesh = kept.getMeshes()[0];
    const GLuint meshTexture = mesh->getTextures()[0];
    ASSERT_TRUE(glIsTexture(modelTexture));
    ASSERT_TRUE(glIsTexture(meshTexture));

    mesh->destroy();
    model.reset();

    EXPECT_TRUE(mesh->getTextures().empty());
    EXPECT_FALSE(glIsTexture(meshTexture));
    EXPECT_FALSE(glIsTexture(modelTexture));
    EXPECT_EQ(mesh->getIndexCount(), 0u);
}
