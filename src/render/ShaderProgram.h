#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "render/SpotLight.h"

#include <array>
#include <cstdint>
#include <functional>
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
class ShaderProgram {
public:
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath, bool lightSubsets = false);
    void destroy();
    // Binds the program with all its lights (or no program).
    void use(bool on);
    // Binds the subset that runs only the lights that may reach the world-space box; the whole
    // program when there are no subsets.
    void useForBox(const glm::vec3& low, const glm::vec3& high);

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
    static_assert(INDEXED_UNIFORMS == 4, "the unknown locations below list one -1 per index");

private:
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
        GLint model = -1;
        GLint norm = -1;
        GLint view = -1;
        GLint proj = -1;
        GLint depthBias = -1;
        // Unknown too until found, so that a program that never linked uploads nothing.
        std::array<GLint, INDEXED_UNIFORMS> depthVP{-1, -1, -1, -1};
        std::array<GLint, INDEXED_UNIFORMS> shadowMap{-1, -1, -1, -1};
        std::array<SpotLightLocations, INDEXED_UNIFORMS> spotLight{};
    };
    struct Linked {
        GLuint program = 0;
        Locations locations;
        bool stale = false; // misses an upload made while another subset was bound
    };
    // Uploads one uniform's value, given where the bound program keeps it.
    using Upload = std::function<void(const Locations&)>;

    static Locations findLocations(GLuint program);
    void linkLightSubsets(const std::string& fragmentSource);
    void bind(std::size_t subset);
    // Sends the value to the bound program and keeps it for the subsets not bound now.
    void upload(std::size_t uniform, Upload value);

    std::vector<Linked> linked; // the whole program first, then a subset per light mask
    std::size_t bound = 0;
    std::vector<Upload> uploads; // the last value of every uniform, by uniform number
    std::array<std::optional<SpotLight>, INDEXED_UNIFORMS> lights;
    GLuint vertexShader = 0;   // 0 when it did not compile
    GLuint fragmentShader = 0; // 0 when it did not compile
};

// Reads a whole text file; an unreadable file ends the process at once.
std::string readFile(const std::string& path);

extern ShaderProgram* defaultProgram;
extern ShaderProgram* shadowProgram;
extern ShaderProgram* debugProgram;
