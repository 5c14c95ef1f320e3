#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "world/SpotLight.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One linked program of a vertex and a fragment shader read from GLSL files, with the named
// uniform setters through which the renderer talks to the GPU.
//
// The scene program may also be linked once for each subset of its three lights (the fragment
// shader sees the subset as LIT_BY, a bit per light). A software rasteriser runs every light's
// code for every fragment; an object that some lights cannot reach is drawn without their code,
// with the same picture, since a light outside its cone adds exactly nothing.
// Locations of uniforms not found (yet): OpenGL ignores uploads to -1.
template <std::size_t N> constexpr std::array<GLint, N> unknownLocations()
{
    std::array<GLint, N> locations{};
    for (GLint& location : locations)
        location = -1;
    return locations;
}

// The scene program lights a surface with this many lamps at most.
constexpr std::size_t SCENE_LIGHTS = 3;

class ShaderProgram {
public:
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath, bool lightSubsets = false);
    void destroy();
    // Binds the program with all its lights (or no program).
    void use(bool on);
    // Binds the subset that runs only the lights that may reach the world-space box; the whole
    // program when there are no subsets. Returns the lights bound, bit i for light i + 1.
    unsigned useForBox(const glm::vec3& low, const glm::vec3& high);

    void setModel(const glm::mat4& matrix);
    void setNorm(const glm::mat4& matrix);
    void setView(const glm::mat4& matrix);
    void setProj(const glm::mat4& matrix);
    void setDepthBias();
    void setDepthVP(const glm::mat4& matrix, std::uint16_t index);
    void setShadowMap(std::uint32_t unit);
    void setSpotLight(const SpotLight* light, std::uint16_t index);

    GLuint getProgram() const { return linked.front().program; }
    bool isLinked() const;

    // Maps a light's clip coordinates in [-1, 1] to shadow-map texture space [0, 1].
    static glm::mat4 depthBiasMatrix();

    // Indexed uniforms run from 0 (the shadow pass's light) to 3 (the third scene light).
    static constexpr std::size_t INDEXED_UNIFORMS = 4;

private:
    // Every uniform the setters upload, numbered for keeping its last value: the matrices
    // first, then the shadow samplers, then the spot lights.
    enum Uniform : std::size_t {
        MODEL,
        NORM,
        VIEW,
        PROJ,
        DEPTH_BIAS,
        DEPTH_VP,
        MATRIX_COUNT = DEPTH_VP + INDEXED_UNIFORMS,
        SHADOW_MAP = MATRIX_COUNT,
        SPOT_LIGHT = SHADOW_MAP + INDEXED_UNIFORMS,
        UNIFORM_COUNT = SPOT_LIGHT + INDEXED_UNIFORMS
    };
    // A bit per uniform number.
    using UniformMask = std::uint32_t;
    static_assert(UNIFORM_COUNT <= 32, "a uniform mask holds a bit per uniform");

    // Where one spot light's fields live in a linked program.
    struct SpotLightLocations {
        GLint position = -1;
        GLint direction = -1;
        GLint intensity = -1;
        GLint angle = -1;
    };
    // Where every uniform lives in a linked program; asked of the driver once after linking:
    // a lookup by name on every upload costs a frame hundreds of string searches.
    struct Locations {
        // Unknown (-1) until found, so that a program that never linked uploads nothing.
        std::array<GLint, MATRIX_COUNT> matrix = unknownLocations<MATRIX_COUNT>(); // by uniform number
        std::array<GLint, INDEXED_UNIFORMS> shadowMap = unknownLocations<INDEXED_UNIFORMS>();
        std::array<SpotLightLocations, INDEXED_UNIFORMS> spotLight{};
    };
    struct Linked {
        GLuint program = 0;
        Locations locations;
        UniformMask missing = 0; // uploads made while another subset was bound
    };

    static Locations findLocations(GLuint program);
    void linkLightSubsets(const std::string& fragmentSource);
    void bind(std::size_t subset);
    // Sends the uniform's kept value to a linked program, given where that program keeps it.
    void send(std::size_t uniform, const Locations& at) const;
    // Sends the uniform's new kept value to the bound program; the other subsets get it when bound.
    void upload(std::size_t uniform);
    void uploadMatrix(std::size_t uniform, const glm::mat4& matrix);

    std::vector<Linked> linked; // the whole program first, then a subset per light mask
    std::size_t bound = 0;
    // The last value of every uniform; a shadow sampler's value is its unit, its number.
    std::array<glm::mat4, MATRIX_COUNT> matrices{};
    std::array<std::optional<SpotLight>, INDEXED_UNIFORMS> lights;
    GLuint vertexShader = 0;   // 0 when it did not compile
    GLuint fragmentShader = 0; // 0 when it did not compile
};

// Reads a whole text file; an unreadable file ends the process at once.
std::string readFile(const std::string& path);
