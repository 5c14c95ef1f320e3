#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <string>

class SpotLight;

// One linked program of a vertex and a fragment shader read from GLSL files, with the named
// uniform setters through which the renderer talks to the GPU.
class ShaderProgram {
public:
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);
    void destroy();
    void use(bool on) const;

    void setModel(const glm::mat4& matrix) const;
    void setNorm(const glm::mat4& matrix) const;
    void setView(const glm::mat4& matrix) const;
    void setProj(const glm::mat4& matrix) const;
    void setDepthBias() const;
    void setDepthVP(const glm::mat4& matrix, std::uint16_t index) const;
    void setShadowMap(std::uint32_t unit) const;
    void setSpotLight(const SpotLight* light, std::uint16_t index) const;

    GLuint getProgram() const { return program; }
    bool isLinked() const;

    // Maps a light's clip coordinates in [-1, 1] to shadow-map texture space [0, 1].
    static glm::mat4 depthBiasMatrix();

    // Indexed uniforms run from 0 (the shadow pass's light) to 3 (the third scene light).
    static constexpr std::size_t INDEXED_UNIFORMS = 4;

private:
    // Where one spot light's fields live in the linked program.
    struct SpotLightLocations {
        GLint position = -1;
        GLint direction = -1;
        GLint intensity = -1;
        GLint angle = -1;
    };

    // Asked of the driver once after linking: a lookup by name on every upload costs a frame
    // hundreds of string searches.
    void findLocations();
    GLint location(const std::string& name) const;
    static GLint indexedLocation(const std::array<GLint, INDEXED_UNIFORMS>& locations, std::size_t index);

    GLuint program = 0;
    GLint modelLocation = -1;
    GLint normLocation = -1;
    GLint viewLocation = -1;
    GLint projLocation = -1;
    GLint depthBiasLocation = -1;
    std::array<GLint, INDEXED_UNIFORMS> depthVPLocations{};
    std::array<GLint, INDEXED_UNIFORMS> shadowMapLocations{};
    std::array<SpotLightLocations, INDEXED_UNIFORMS> spotLightLocations{};
    GLuint vertexShader = 0;   // 0 when it did not compile
    GLuint fragmentShader = 0; // 0 when it did not compile
};

// Reads a whole text file; an unreadable file ends the process at once.
std::string readFile(const std::string& path);

extern ShaderProgram* defaultProgram;
extern ShaderProgram* shadowProgram;
extern ShaderProgram* debugProgram;
