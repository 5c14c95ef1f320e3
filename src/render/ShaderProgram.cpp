#include "render/ShaderProgram.h"

#include "world/SpotLight.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

[[noreturn]] void cannotRead(const std::string& path)
{
    std::cerr << "Can't read file " << path << std::endl;
    // Without its shaders the game cannot draw anything: stop at once.
    std::_Exit(EXIT_FAILURE);
}

} // namespace

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::in);
    // A folder or a pipe opens like a file but has no size to read by.
    std::error_code error;
    if (!file.good() || !std::filesystem::is_regular_file(path, error))
        cannotRead(path);
    file.seekg(0, std::ios::end);
    std::string content(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0, std::ios::beg);
    file.read(&content[0], static_cast<std::streamsize>(content.size()));
    if (!file)
        cannotRead(path);
    return content;
}

namespace {

GLuint compile(GLenum type, const std::string& source, const std::string& path)
{
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    GLint length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        if (!path.empty())
            std::cerr << "Unable to compile shader " << path << std::endl;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool linkProgram(GLuint program, GLuint vertexShader, GLuint fragmentShader)
{
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindFragDataLocation(program, 0, "outColor");
    glLinkProgram(program);
    GLint status = 1;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == 1;
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

// The scene lights are indexed 1 to 3; bit i - 1 of a light mask stands for light i.
constexpr unsigned ALL_LIGHTS = (1u << SCENE_LIGHTS) - 1;

// Where a light mask's subset is kept: the whole program comes first.
std::size_t subsetIndex(unsigned lightMask)
{
    return lightMask == ALL_LIGHTS ? 0 : lightMask + 1;
}

// The fragment shader of one subset: LIT_BY defined right after the version line, and the
// line count restored so that messages name the file's own lines.
std::string withLightMask(const std::string& source, unsigned lightMask)
{
    const std::size_t endOfVersion = source.find('\n');
    if (endOfVersion == std::string::npos)
        return source;
    std::ostringstream text;
    text << source.substr(0, endOfVersion + 1) << "#define LIT_BY " << lightMask << "\n#line 2\n"
         << source.substr(endOfVersion + 1);
    return text.str();
}

} // namespace

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath, bool lightSubsets)
{
    linked.push_back({glCreateProgram(), {}, 0});
    const std::string vertexSource = readFile(vertexPath);
    vertexShader = compile(GL_VERTEX_SHADER, vertexSource, vertexPath);
    const std::string fragmentSource = readFile(fragmentPath);
    fragmentShader = compile(GL_FRAGMENT_SHADER, fragmentSource, fragmentPath);
    if (vertexShader == 0 || fragmentShader == 0)
        return;
    Linked& whole = linked.front();
    if (!linkProgram(whole.program, vertexShader, fragmentShader)) {
        std::cerr << "Error linking program " << whole.program << std::endl;
        whole.locations = findLocations(whole.program);
        return;
    }
    whole.locations = findLocations(whole.program);
    if (lightSubsets)
        linkLightSubsets(fragmentSource);
}

void ShaderProgram::linkLightSubsets(const std::string& fragmentSource)
{
    for (unsigned lightMask = 0; lightMask < ALL_LIGHTS; ++lightMask) {
        // The whole program compiled, so a subset can only fail on a broken driver: the game
        // then draws everything with the whole program.
        GLuint subsetShader = compile(GL_FRAGMENT_SHADER, withLightMask(fragmentSource, lightMask), "");
        GLuint program = glCreateProgram();
        const bool ok = subsetShader != 0 && linkProgram(program, vertexShader, subsetShader);
        glDeleteShader(subsetShader); // freed with its program
        linked.push_back({program, findLocations(program), 0});
        if (!ok) {
            for (std::size_t i = 1; i < linked.size(); ++i)
                glDeleteProgram(linked[i].program);
            linked.resize(1);
            return;
        }
    }
}

ShaderProgram::Locations ShaderProgram::findLocations(GLuint program)
{
    auto location = [program](const std::string& name) { return glGetUniformLocation(program, name.c_str()); };
    Locations at;
    at.matrix[MODEL] = location("model");
    at.matrix[NORM] = location("norm");
    at.matrix[VIEW] = location("view");
    at.matrix[PROJ] = location("proj");
    at.matrix[DEPTH_BIAS] = location("depthBias");
    for (unsigned index = 0; index < INDEXED_UNIFORMS; ++index) {
        at.matrix[DEPTH_VP + index] = location(indexed("depthVP", index));
        at.shadowMap[index] = location(indexed("shadowMap", index));
        const std::string prefix = indexed("spotLight", index);
        SpotLightLocations& light = at.spotLight[index];
        light.position = location(prefix + ".position");
        light.direction = location(prefix + ".direction");
        light.intensity = location(prefix + ".intensity");
        light.angle = location(prefix + ".angle");
    }
    return at;
}

void ShaderProgram::destroy()
{
    for (const Linked& program : linked)
        glDeleteProgram(program.program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
}

void ShaderProgram::use(bool on)
{
    if (on)
        bind(0);
    else
        glUseProgram(0);
}

unsigned ShaderProgram::useForBox(const glm::vec3& low, const glm::vec3& high)
{
    if (linked.size() == 1) {
        bind(0);
        return ALL_LIGHTS;
    }
    unsigned lightMask = 0;
    for (std::size_t light = 1; light <= SCENE_LIGHTS; ++light) {
        if (!lights[light] || lights[light]->mayReach(low, high))
            lightMask |= 1u << (light - 1);
    }
    bind(subsetIndex(lightMask));
    return lightMask;
}

void ShaderProgram::bind(std::size_t subset)
{
    Linked& program = linked[subset];
    glUseProgram(program.program);
    bound = subset;
    for (std::size_t uniform = 0; program.missing != 0; ++uniform) {
        const UniformMask bit = UniformMask{1} << uniform;
        if ((program.missing & bit) != 0)
            send(uniform, program.locations);
        program.missing &= ~bit;
    }
}

void ShaderProgram::send(std::size_t uniform, const Locations& at) const
{
    if (uniform < MATRIX_COUNT) {
        setMatrix(at.matrix[uniform], matrices[uniform]);
    } else if (uniform < SPOT_LIGHT) {
        const std::size_t unit = uniform - SHADOW_MAP;
        glUniform1i(at.shadowMap[unit], static_cast<GLint>(unit));
    } else {
        const SpotLight& light = *lights[uniform - SPOT_LIGHT];
        const SpotLightLocations& fields = at.spotLight[uniform - SPOT_LIGHT];
        glUniform3f(fields.position, light.position.x, light.position.y, light.position.z);
        glUniform3f(fields.direction, light.direction.x, light.direction.y, light.direction.z);
        glUniform3f(fields.intensity, light.intensity.x, light.intensity.y, light.intensity.z);
        glUniform1f(fields.angle, light.angle);
    }
}

void ShaderProgram::upload(std::size_t uniform)
{
    send(uniform, linked[bound].locations);
    for (std::size_t subset = 0; subset < linked.size(); ++subset) {
        if (subset != bound)
            linked[subset].missing |= UniformMask{1} << uniform;
    }
}

void ShaderProgram::uploadMatrix(std::size_t uniform, const glm::mat4& matrix)
{
    matrices[uniform] = matrix;
    upload(uniform);
}

bool ShaderProgram::isLinked() const
{
    GLint status = 0;
    glGetProgramiv(getProgram(), GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

void ShaderProgram::setModel(const glm::mat4& matrix)
{
    uploadMatrix(MODEL, matrix);
}

void ShaderProgram::setNorm(const glm::mat4& matrix)
{
    uploadMatrix(NORM, matrix);
}

void ShaderProgram::setView(const glm::mat4& matrix)
{
    uploadMatrix(VIEW, matrix);
}

void ShaderProgram::setProj(const glm::mat4& matrix)
{
    uploadMatrix(PROJ, matrix);
}

glm::mat4 ShaderProgram::depthBiasMatrix()
{
    return glm::mat4(0.5f, 0.0f, 0.0f, 0.0f, //
                     0.0f, 0.5f, 0.0f, 0.0f, //
                     0.0f, 0.0f, 0.5f, 0.0f, //
                     0.5f, 0.5f, 0.5f, 1.0f);
}

void ShaderProgram::setDepthBias()
{
    uploadMatrix(DEPTH_BIAS, depthBiasMatrix());
}

// No shader of the game declares an index beyond INDEXED_UNIFORMS; such an upload is ignored,
// as GL ignores a name the program lacks.
void ShaderProgram::setDepthVP(const glm::mat4& matrix, std::uint16_t index)
{
    if (index >= INDEXED_UNIFORMS)
        return;
    uploadMatrix(DEPTH_VP + index, matrix);
}

void ShaderProgram::setShadowMap(std::uint32_t unit)
{
    if (unit >= INDEXED_UNIFORMS)
        return;
    upload(SHADOW_MAP + unit);
}

void ShaderProgram::setSpotLight(const SpotLight* light, std::uint16_t index)
{
    if (index >= INDEXED_UNIFORMS)
        return;
    lights[index] = *light;
    upload(SPOT_LIGHT + index);
}
