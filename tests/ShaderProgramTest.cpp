#include "render/ShaderProgram.h"
#include "support/RenderChecks.h"
#include "support/RenderFixture.h"

#include <unistd.h>

namespace {

// A matrix whose sixteen entries all differ, so that a transposed or swapped upload shows.
glm::mat4 distinctMatrix(float seed)
{
    glm::mat4 matrix;
    for (int entry = 0; entry < 16; ++entry)
        matrix[entry / 4][entry % 4] = seed + static_cast<float>(entry);
    return matrix;
}

template <typename Value> Value uniform(const ShaderProgram& program, const char* name)
{
    Value value(0);
    glGetUniformfv(program.getProgram(), glGetUniformLocation(program.getProgram(), name),
                   reinterpret_cast<GLfloat*>(&value));
    return value;
}

} // namespace

using ShaderProgramTest = RenderFixture;

TEST_F(ShaderProgramTest, SettersReachTheUniformsByTheirGameNamesAndNumbers)
{
    const auto program = std::make_unique<ShaderProgram>(testData("uniforms_v.glsl"), testData("uniforms_f.glsl"));
    ASSERT_TRUE(program->isLinked());
    program->use(true);
    const char* const matrices[] = {"model", "norm", "view", "proj", "depthVP0", "depthVP2"};
    program->setModel(distinctMatrix(1));
    program->setNorm(distinctMatrix(2));
    program->setView(distinctMatrix(3));
    program->setProj(distinctMatrix(4));
    program->setDepthVP(distinctMatrix(5), 0);
    program->setDepthVP(distinctMatrix(6), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(uniform<glm::mat4>(*program, matrices[i]), distinctMatrix(i + 1.0f)) << matrices[i];

    program->setShadowMap(2);
    GLint unit = -1;
    glGetUniformiv(program->getProgram(), glGetUniformLocation(program->getProgram(), "shadowMap2"), &unit);
    EXPECT_EQ(unit, 2);

    // A program whose shader did not compile knows no uniform: its setters leave the bound one alone.
    const auto broken = std::make_unique<ShaderProgram>(testData("uniforms_v.glsl"), testData("broken.glsl"));
    while (glGetError() != GL_NO_ERROR) {
    }
    broken->setDepthVP(distinctMatrix(9), 1);
    broken->setShadowMap(1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(uniform<glm::mat4>(*program, matrices[i]), distinctMatrix(i + 1.0f)) << matrices[i];
    broken->destroy();
    program->use(false);
    program->destroy();
}

// A folder, or a pipe that cannot be measured, is as unreadable as a missing file.
TEST_F(ShaderProgramTest, AFolderOrAPipeIsAnUnreadableShaderFile)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(write(pipeEnds[1], "void main() {}\n", 15), 15);
    close(pipeEnds[1]);
    for (const std::string& path : {std::filesystem::temp_directory_path().string(), "/dev/fd/" + std::to_string(pipeEnds[0])})
        EXPECT_EXIT(readFile(path), ::testing::ExitedWithCode(EXIT_FAILURE), "Can't read file " + path);
}
