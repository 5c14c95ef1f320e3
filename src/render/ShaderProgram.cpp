#include "render/ShaderProgram.h"

#include "render/SpotLight.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

ShaderProgram* defaultProgram = nullptr;
ShaderProgram* shadowProgram = nullptr;
ShaderProgram* debugProgram = nullptr;

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::in);
    if (!file.good()) {
        std::cerr << "Can't read file " << path << std::endl;
        // Without its shaders the game cannot draw anything: stop at once.
        std::_Exit(EXIT_FAILURE);
    }
    file.seekg(0, std::ios::end);
    std::string content(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0, std::ios::beg);
    file.read(&content[0], static_cast<std::streamsize>(content.size()));
    return content;
}

namespace {

GLuint compile(GLenum type, const std::string& path)
{
    std::string source = readFile(path);
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    GLint length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        std::cerr << "Unable to compile shader " << path << std::endl;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

std::string indexed(const char* name, unsigned index)
{
    std::ostringstream text;
    text << name << index;
    return text.str();
}

void setMatrix(GLint location, const glm::mat4& matrix)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(matrix));
}

} // namespace

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath)
{
    program = glCreateProgram();
    vertexShader = compile(GL_VERTEX_SHADER, vertexPath);
    fragmentShader = compile(GL_FRAGMENT_SHADER, fragmentPath);
    if (vertexShader == 0 || fragmentShader == 0)
        return;
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindFragDataLocation(program, 0, "outColor");
    glLinkProgram(program);
    GLint status = 1;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != 1)
        std::cerr << "Error linking program " << program << std::endl;
    findLocations();
}

void ShaderProgram::findLocations()
{
    modelLocation = location("model");
    normLocation = location("norm");
    viewLocation = location("view");
    projLocation = location("proj");
    depthBiasLocation = location("depthBias");
    for (unsigned index = 0; index < INDEXED_UNIFORMS; ++index) {
        depthVPLocations[index] = location(indexed("depthVP", index));
        shadowMapLocations[index] = location(indexed("shadowMap", index));
        const std::string prefix = indexed("spotLight", index);
        SpotLightLocations& light = spotLightLocations[index];
        light.position = location(prefix + ".position");
        light.direction = location(prefix + ".direction");
        light.intensity = location(prefix + ".intensity");
        light.angle = location(prefix + ".angle");
    }
}

void ShaderProgram::destroy()
{
    glDeleteProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
}

void ShaderProgram::use(bool on) const
{
    glUseProgram(on ? program : 0);
}

bool ShaderProgram::isLinked() const
{
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

GLint ShaderProgram::location(const std::string& name) const
{
    return glGetUniformLocation(program, name.c_str());
}

GLint ShaderProgram::indexedLocation(const std::array<GLint, INDEXED_UNIFORMS>& locations, std::size_t index)
{
    // No shader of the game declares an index beyond these; such an upload is ignored, as GL
    // ignores a name the program lacks.
    return index < locations.size() ? locations[index] : -1;
}

void ShaderProgram::setModel(const glm::mat4& matrix) const
{
    setMatrix(modelLocation, matrix);
}

void ShaderProgram::setNorm(const glm::mat4& matrix) const
{
    setMatrix(normLocation, matrix);
}

void ShaderProgram::setView(const glm::mat4& matrix) const
{
    setMatrix(viewLocation, matrix);
}

void ShaderProgram::setProj(const glm::mat4& matrix) const
{
    setMatrix(projLocation, matrix);
}

glm::mat4 ShaderProgram::depthBiasMatrix()
{
    return glm::mat4(0.5f, 0.0f, 0.0f, 0.0f, //
                     0.0f, 0.5f, 0.0f, 0.0f, //
                     0.0f, 0.0f, 0.5f, 0.0f, //
                     0.5f, 0.5f, 0.5f, 1.0f);
}

void ShaderProgram::setDepthBias() const
{
    setMatrix(depthBiasLocation, depthBiasMatrix());
}

void ShaderProgram::setDepthVP(const glm::mat4& matrix, std::uint16_t index) const
{
    setMatrix(indexedLocation(depthVPLocations, index), matrix);
}

void ShaderProgram::setShadowMap(std::uint32_t unit) const
{
    glUniform1i(indexedLocation(shadowMapLocations, unit), static_cast<GLint>(unit));
}

void ShaderProgram::setSpotLight(const SpotLight* light, std::uint16_t index) const
{
    if (index >= spotLightLocations.size())
        return;
    const SpotLightLocations& locations = spotLightLocations[index];
    glUniform3f(locations.position, light->position.x, light->position.y, light->position.z);
    glUniform3f(locations.direction, light->direction.x, light->direction.y, light->direction.z);
    glUniform3f(locations.intensity, light->intensity.x, light->intensity.y, light->intensity.z);
    glUniform1f(locations.angle, light->angle);
}
