// Importing model files into GPU meshes and textures: what the game relies on when a file is
// fine, and how it carries on when a file, an image or a material is faulty.
#include "app/RenderSettings.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ShaderProgram.h"
#include "support/Expectations.h"
#include "support/RenderChecks.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Draws a mesh straight in clip space, coloured by its texture coordinates and the length of its normal.
const char* const PROBE_VERTEX_SHADER =
    "#version 330 core\nlayout(location = 0) in vec3 position;\nlayout(location = 1) in vec2 texCoord;\n"
    "layout(location = 2) in vec3 normal;\nout vec3 probe;\n"
    "void main() { probe = vec3(texCoord, length(normal)); gl_Position = vec4(position, 1.0); }\n";
const char* const PROBE_FRAGMENT_SHADER =
    "#version 330 core\nin vec3 probe;\nout vec4 outColor;\nvoid main() { outColor = vec4(probe, 1.0); }\n";

// A square around the screen centre.
const char* const SQUARE_POSITIONS = "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

// The texture of the first mesh of a model.
GLuint textureOf(const Model& model)
{
    return model.getMeshes().at(0)->getTextures().at(0);
}

} // namespace

class ModelLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ok()); }

    Model load(const std::string& file) const { return Model(folder.name, file); }

    // A PNG of one colour, in the layout SDL gives the surface format (a palette of that colour).
    void writeImage(const std::string& name, int width, int height, Uint32 format, SDL_Color colour) const
    {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, format);
        ASSERT_NE(surface, nullptr);
        if (surface->format->palette)
            SDL_SetPaletteColors(surface->format->palette, &colour, 0, 1);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, colour.r, colour.g, colour.b, colour.a));
        ASSERT_EQ(IMG_SavePNG(surface, (folder.path / name).c_str()), 0);
        SDL_FreeSurface(surface);
    }

    // An OBJ of one textured square whose material has these lines.
    void writeTexturedSquare(const std::string& objName, const std::string& materialLines) const
    {
        folder.write(objName + ".mtl", "newmtl square\nKd 1 1 1\n" + materialLines);
        folder.write(objName + ".obj", "mtllib " + std::filesystem::path(objName).filename().string() + ".mtl\n" +
                                           SQUARE_POSITIONS + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n" +
                                           "usemtl square\nf 1/1/1 2/2/1 3/3/1 4/4/1\n");
    }

    HeadlessContext context;
    ScratchFolder folder{"assets"}; // Model prepends "assets/" to the folder it is given
};

TEST_F(ModelLoaderTest, MeshesKeepTheFileOrderBoundsAndTrianglesAndMissingAttributesReadAsZeros)
{
    // A square (one face of four corners, triangulated into two) and a triangle further out.
    folder.write("two.mtl", "newmtl plain\nKd 1 1 1\n");
    folder.write("two.obj", "mtllib two.mtl\no square\nv -1 0 -2\nv 3 0 -2\nv 3 5 -2\nv -1 5 -2\nvn 0 0 1\n"
                            "usemtl plain\nf 1//1 2//1 3//1 4//1\n"
                            "o triangle\nv 10 -4 7\nv 12 -4 7\nv 12 1 9\nvn 1 0 0\nusemtl plain\nf 5//2 6//2 7//2\n");
    // Without texture coordinates and normals, and with both, to show what the probe reads.
    folder.write("bare.obj", std::string(SQUARE_POSITIONS) + "f 1 2 3 4\n");
    folder.write("mapped.obj", std::string(SQUARE_POSITIONS) + "vt 1 0.25\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1 4/1/1\n");
    testing::internal::CaptureStderr();
    const Model model = load("two.obj");
    const Model bare = load("bare.obj");
    const Model mapped = load("mapped.obj");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const std::vector<Mesh*> meshes = model.getMeshes();
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(meshes[0]->bounds(), std::make_pair(glm::vec3(3, 5, -2), glm::vec3(-1, 0, -2)));
    EXPECT_EQ(meshes[0]->getIndexCount(), 6u);
    EXPECT_EQ(meshes[1]->bounds(), std::make_pair(glm::vec3(12, 1, 9), glm::vec3(10, -4, 7)));
    EXPECT_EQ(meshes[1]->getIndexCount(), 3u);
    EXPECT_EQ(model.triangleCount(), 3u);
    EXPECT_EQ(model.bounds(), std::make_pair(glm::vec3(12, 5, 9), glm::vec3(-1, -4, -2)));
    EXPECT_TRUE(meshes[0]->getTextures().empty()); // the material names no image

    const std::unique_ptr<ShaderProgram> probe = folder.program(PROBE_VERTEX_SHADER, PROBE_FRAGMENT_SHADER);
    auto centreDrawnFrom = [&](const Model& drawn) {
        glClearColor(1, 1, 1, 1); // unlike any colour the probe gives these squares
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        probe->use(true);
        drawn.draw();
        probe->use(false);
        const HeadlessContext::Pixel pixel = context.pixel(WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2);
        return glm::vec3(pixel.r, pixel.g, pixel.b) / 255.0f;
    };
    expectNear(glm::vec3(0, 0, 0), centreDrawnFrom(bare), 1.0f / 255);
    // Imported with flipped v, as the images are stored top row first.
    expectNear(glm::vec3(1, 1 - 0.25f, 1), centreDrawnFrom(mapped), 1.0f / 255);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoaderTest, TexturesHoldTheirImagesFollowTheRenderSettingsAndGoWithTheirMeshes)
{
    // Three bytes a pixel and an odd width: SDL pads the rows, the texture must not skew.
    writeImage("rgb.png", 5, 3, SDL_PIXELFORMAT_RGB24, {200, 40, 10, 255});
    writeTexturedSquare("opaque", "map_Kd rgb.png\n");
    writeImage("rgba.png", 4, 4, SDL_PIXELFORMAT_RGBA32, {10, 90, 250, 128});
    writeTexturedSquare("translucent", "map_Kd rgba.png\n");
    auto opaque = std::make_unique<Model>(folder.name, "opaque.obj");
    const Model translucent = load("translucent.obj");
    const Texels rgb = texelsOf(textureOf(*opaque));
    EXPECT_EQ(glm::ivec2(rgb.width, rgb.height), glm::ivec2(5, 3));
    for (std::size_t pixel = 0; pixel < rgb.rgba.size(); pixel += 4)
        EXPECT_EQ(glm::ivec3(rgb.rgba[pixel], rgb.rgba[pixel + 1], rgb.rgba[pixel + 2]), glm::ivec3(200, 40, 10));
    const Texels rgba = texelsOf(textureOf(translucent));
    EXPECT_EQ(glm::ivec4(rgba.rgba[0], rgba.rgba[1], rgba.rgba[2], rgba.rgba[3]), glm::ivec4(10, 90, 250, 128));

    // Floors and walls repeat their images; far surfaces use the mipmaps (level 1 of 4 x 4 is 2 x 2).
    // The filters are those of the render settings at each draw, which leaves no texture bound.
    const GLuint texture = textureOf(translucent);
    auto parameter = [texture](GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    };
    EXPECT_EQ(glm::ivec2(parameter(GL_TEXTURE_WRAP_S), parameter(GL_TEXTURE_WRAP_T)), glm::ivec2(GL_REPEAT));
    GLint levelOneWidth = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    EXPECT_EQ(levelOneWidth, 2);
    // Mipmap mode, nearest sampling, and the minifying and magnifying filters they ask for.
    const int table[][4] = {{0, 0, GL_LINEAR, GL_LINEAR},
                            {0, 1, GL_NEAREST, GL_NEAREST},
                            {1, 0, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR},
                            {1, 1, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
                            {2, 0, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
                            {2, 1, GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST}};
    for (const auto& [mipmapMode, nearestSampling, minifying, magnifying] : table) {
        renderSettings.mipmapMode = mipmapMode;
        renderSettings.nearestSampling = nearestSampling != 0;
        translucent.draw();
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        EXPECT_EQ(glm::ivec2(parameter(GL_TEXTURE_MIN_FILTER), parameter(GL_TEXTURE_MAG_FILTER)),
                  glm::ivec2(minifying, magnifying))
            << mipmapMode << ", " << nearestSampling;
    }

    // A destroyed mesh, and a model going, release their textures.
    Mesh* mesh = translucent.getMeshes()[0];
    const GLuint opaqueTexture = textureOf(*opaque);
    mesh->destroy();
    opaque.reset();
    EXPECT_FALSE(glIsTexture(texture) || glIsTexture(opaqueTexture));
    EXPECT_TRUE(mesh->getTextures().empty());
    EXPECT_EQ(mesh->getIndexCount(), 0u);
}

TEST_F(ModelLoaderTest, FaultyFilesAreReportedALineEachAndLeaveWhatStillDraws)
{
    writeTexturedSquare("unpainted", "map_Kd not-painted.png\n");
    // The image exists, one folder above the model's and at an absolute path, but is not read.
    writeImage("outside.png", 2, 2, SDL_PIXELFORMAT_RGBA32, {255, 255, 255, 255});
    const std::string absolutePath = std::filesystem::absolute(folder.path / "outside.png").string();
    writeTexturedSquare("inner/climbing", "map_Kd ../outside.png\n");
    writeTexturedSquare("inner/absolute", "map_Kd " + absolutePath + "\n");
    // A palette image is widened to a usable texture.
    writeImage("palette.png", 4, 4, SDL_PIXELFORMAT_INDEX8, {20, 160, 60, 255});
    writeTexturedSquare("paletted", "map_Kd palette.png\n");
    // Two triangles with a line, a point and a face cut to two corners between them: drawn as
    // triangles, those five indices would shift the second triangle onto the wrong corners.
    folder.write("mixed.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3\nl 1 2\np 3\nf 1 2\nf 1 3 4\n");

    testing::internal::CaptureStderr();
    const Model missing = load("nothing-here.obj");
    const Model unpainted = load("unpainted.obj");
    const Model climbing(folder.name + "/inner", "climbing.obj");
    const Model absolute(folder.name + "/inner", "absolute.obj");
    const Model paletted = load("paletted.obj");
    const Model mixed = load("mixed.obj");
    const std::vector<std::string> errors = lines(testing::internal::GetCapturedStderr());

    ASSERT_EQ(errors.size(), 6u);
    EXPECT_TRUE(startsWith(errors[0], "Assimp Importer: ") && errors[0].size() > 17) << errors[0];
    EXPECT_TRUE(missing.getMeshes().empty());
    EXPECT_EQ(missing.triangleCount(), 0u);
    EXPECT_EQ(missing.bounds(), std::make_pair(glm::vec3(-FLT_MAX), glm::vec3(FLT_MAX)));
    EXPECT_EQ(missing.getDirectory(), "assets/" + folder.name);

    EXPECT_TRUE(startsWith(errors[1], "IMG_Load error: ")) << errors[1];
    EXPECT_EQ(textureOf(unpainted), 0u);
    for (int i : {2, 3}) {
        EXPECT_TRUE(startsWith(errors[i], "IMG_Load error: ")) << errors[i];
        EXPECT_NE(errors[i].find(i == 2 ? "../outside.png" : absolutePath), std::string::npos) << errors[i];
    }
    EXPECT_EQ(textureOf(climbing), 0u);
    EXPECT_EQ(textureOf(absolute), 0u);

    EXPECT_EQ(errors[4], "Error, image is not truecolor.");
    const Texels widened = texelsOf(textureOf(paletted));
    EXPECT_EQ(glm::ivec2(widened.width, widened.height), glm::ivec2(4, 4));
    EXPECT_EQ(glm::ivec4(widened.rgba[0], widened.rgba[1], widened.rgba[2], widened.rgba[3]),
              glm::ivec4(20, 160, 60, 255));

    EXPECT_TRUE(startsWith(errors[5], "Assimp Importer: ")) << errors[5];
    EXPECT_EQ(mixed.triangleCount(), 2u);
    unsigned indices = 0;
    for (const Mesh* mesh : mixed.getMeshes())
        indices += mesh->getIndexCount();
    EXPECT_EQ(indices, 6u);

    // Without a model or a texture there is nothing to draw, but drawing is no error.
    missing.draw();
    unpainted.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
