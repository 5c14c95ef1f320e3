#include "render/ShaderProgram.h"
#include "render/SpotLight.h"
#include "support/HeadlessContext.h"

#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* VERTEX_SOURCE = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 model;
uniform mat4 norm;
uniform mat4 view;
uniform mat4 proj;
uniform mat4 depthBias;
uniform mat4 depthVP0;
uniform mat4 depthVP2;
out vec4 shade;
void main()
{
    shade = depthBias * depthVP0 * depthVP2 * norm * vec4(position, 1.0);
    gl_Position = proj * view * model * vec4(position, 1.0);
}
)";

const char* FRAGMENT_SOURCE = R"(#version 330 core
struct SpotLight {
    vec3 position;
    vec3 direction;
    vec3 intensity;
    float angle;
};
uniform SpotLight spotLight3;
uniform sampler2DShadow shadowMap2;
in vec4 shade;
out vec4 outColor;
void main()
{
    float lit = texture(shadowMap2, vec3(0.5, 0.5, 0.5));
    outColor = shade + vec4(spotLight3.position + spotLight3.direction + spotLight3.intensity, spotLight3.angle) * lit;
}
)";

class ShaderProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.ok());
        folder = fs::temp_directory_path() / ("marrowdeep-shaders-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(folder / name) << text;
        return (folder / name).string();
    }

    glm::mat4 readMatrix(const ShaderProgram& program, const char* name)
    {
        glm::mat4 value(0.0f);
        glGetUniformfv(program.getProgram(), glGetUniformLocation(program.getProgram(), name), glm::value_ptr(value));
        return value;
    }

    glm::vec3 readVector(const ShaderProgram& program, const char* name)
    {
        glm::vec3 value(0.0f);
        glGetUniformfv(program.getProgram(), glGetUniformLocation(program.getProgram(), name), glm::value_ptr(value));
        return value;
    }

    HeadlessContext context;
    fs::path folder;
};

glm::mat4 distinctMatrix(float seed)
{
    glm::mat4 matrix;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            matrix[column][row] = seed + static_cast<float>(column * 4 + row);
    return matrix;
}

} // namespace

TEST_F(ShaderProgramTest, SettersReachTheUniformsByTheirGameNames)
{
    ShaderProgram program(write("v.glsl", VERTEX_SOURCE), write("f.glsl", FRAGMENT_SOURCE));
    ASSERT_TRUE(program.isLinked());
    program.use(true);
    program.setModel(distinctMatrix(1));
    program.setNorm(distinctMatrix(2));
    program.setView(distinctMatrix(3));
    program.setProj(distinctMatrix(4));
    program.setDepthVP(distinctMatrix(5), 0);
    program.setDepthVP(distinctMatrix(6), 2);
    EXPECT_EQ(readMatrix(program, "model"), distinctMatrix(1));
    EXPECT_EQ(readMatrix(program, "norm"), distinctMatrix(2));
    EXPECT_EQ(readMatrix(program, "view"), distinctMatrix(3));
    EXPECT_EQ(readMatrix(program, "proj"), distinctMatrix(4));
    EXPECT_EQ(readMatrix(program, "depthVP0"), distinctMatrix(5));
    EXPECT_EQ(readMatrix(program, "depthVP2"), distinctMatrix(6));
    program.use(false);
    program.destroy();
}

TEST_F(ShaderProgramTest, DepthBiasMapsClipSpaceToTextureSpaceColumnByColumn)
{
    ShaderProgram program(write("v.glsl", VERTEX_SOURCE), write("f.glsl", FRAGMENT_SOURCE));
    program.use(true);
    program.setDepthBias();
    glm::mat4 bias = readMatrix(program, "depthBias");
    EXPECT_EQ(bias[0], glm::vec4(0.5f, 0, 0, 0));
    EXPECT_EQ(bias[1], glm::vec4(0, 0.5f, 0, 0));
    EXPECT_EQ(bias[2], glm::vec4(0, 0, 0.5f, 0));
    EXPECT_EQ(bias[3], glm::vec4(0.5f, 0.5f, 0.5f, 1));
    // The corners of clip space land on the corners of the unit cube.
    EXPECT_EQ(bias * glm::vec4(-1, -1, -1, 1), glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(bias * glm::vec4(1, 1, 1, 1), glm::vec4(1, 1, 1, 1));
}

TEST_F(ShaderProgramTest, SpotLightAndShadowSamplerUseNumberedNames)
{
    ShaderProgram program(write("v.glsl", VERTEX_SOURCE), write("f.glsl", FRAGMENT_SOURCE));
    program.use(true);
    SpotLight light(glm::vec3(130, 40, 0), glm::vec3(1, 0.5f, 0.25f), glm::vec3(0.0001f, -1, 0));
    program.setSpotLight(&light, 3);
    program.setShadowMap(2);
    EXPECT_EQ(readVector(program, "spotLight3.position"), light.position);
    EXPECT_EQ(readVector(program, "spotLight3.direction"), light.direction);
    EXPECT_EQ(readVector(program, "spotLight3.intensity"), light.intensity);
    float angle = 0;
    glGetUniformfv(program.getProgram(), glGetUniformLocation(program.getProgram(), "spotLight3.angle"), &angle);
    EXPECT_EQ(angle, 60.0f); // degrees, as the light stores it
    GLint unit = -1;
    glGetUniformiv(program.getProgram(), glGetUniformLocation(program.getProgram(), "shadowMap2"), &unit);
    EXPECT_EQ(unit, 2);
}

TEST_F(ShaderProgramTest, AShaderThatDoesNotCompileLeavesTheProgramUnlinkedWithOneMessage)
{
    std::string broken = write("broken.glsl", "#version 330 core\nvoid main() { this is not glsl }\n");
    testing::internal::CaptureStderr();
    ShaderProgram program(broken, write("f.glsl", FRAGMENT_SOURCE));
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Unable to compile shader " + broken + "\n");
    EXPECT_FALSE(program.isLinked());
}

TEST_F(ShaderProgramTest, AProgramThatDoesNotLinkSaysSoWithItsName)
{
    // Both compile, but the fragment shader calls a function that no shader defines.
    std::string fragment = write("f.glsl", "#version 330 core\nout vec4 outColor;\nvec4 undefinedColour();\n"
                                           "void main() { outColor = undefinedColour(); }\n");
    std::string vertex = write("v.glsl", "#version 330 core\nlayout(location = 0) in vec3 position;\n"
                                         "void main() { gl_Position = vec4(position, 1.0); }\n");
    testing::internal::CaptureStderr();
    ShaderProgram program(vertex, fragment);
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Error linking program " + std::to_string(program.getProgram()) + "\n");
}

TEST(ShaderFileTest, AnUnreadableShaderFileEndsTheProcessAtOnce)
{
    EXPECT_EXIT(readFile("shader/no_such_shader.glsl"), testing::ExitedWithCode(EXIT_FAILURE),
                "^Can't read file shader/no_such_shader.glsl\n$");
}

TEST(ShaderFileTest, ReadFileReturnsTheWholeFile)
{
    fs::path path = fs::temp_directory_path() / ("marrowdeep-read-" + std::to_string(::getpid()));
    std::string text = "line one\nline two without end";
    std::ofstream(path) << text;
    EXPECT_EQ(readFile(path.string()), text);
    fs::remove(path);
}
